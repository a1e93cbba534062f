# Tests that run the 64-bit Windows build under wine64. They share one prefix inside the build
# tree and run one at a time (they share a wineserver and the screen); each run ends with the
# prefix's wineserver killed.
set(TESSO_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(TESSO_WINE_RUN ${CMAKE_SOURCE_DIR}/tests/wine/run-under-wine.sh)
set(TESSO_SCREENSHOT_DIR ${CMAKE_BINARY_DIR}/screenshots)

add_test(NAME wine.prefix COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/prepare-prefix.sh ${TESSO_WINE_PREFIX})
set_tests_properties(wine.prefix PROPERTIES FIXTURES_SETUP wine RESOURCE_LOCK wine TIMEOUT 300)

# name: test name; program: path of the .exe; remaining arguments go to the program.
function(tesso_wine_test name program)
    add_test(NAME ${name} COMMAND ${TESSO_WINE_RUN} ${TESSO_WINE_PREFIX} ${program} ${ARGN})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wine TIMEOUT 300
        ENVIRONMENT "LC_ALL=en_US.UTF-8;TESSO_SCREENSHOTS=${TESSO_SCREENSHOT_DIR};TESSO_SETUP_EXE=${TESSO_WIN64_DIR}/TessoSetup.exe")
endfunction()

# Windows paths of the two shipped executables, through Wine's Z: drive.
string(REPLACE "/" "\\" win64_exe "Z:${TESSO_WIN64_DIR}/TessoSetup.exe")
string(REPLACE "/" "\\" win32_exe "Z:${TESSO_WIN32_DIR}/TessoSetup.exe")

file(GLOB TESSO_WINE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/*_test.cpp)
foreach(source ${TESSO_WINE_TEST_SOURCES})
    get_filename_component(name ${source} NAME_WE)
    tesso_wine_test(wine.${name} ${TESSO_WIN64_DIR}/${name}.exe --gtest_brief=1)
    set_property(TEST wine.${name} APPEND PROPERTY ENVIRONMENT "TESSO_SETUP_EXES=${win64_exe}\\;${win32_exe}")
endforeach()

# The shipped executables import system DLLs only.
foreach(exe ${TESSO_WIN64_DIR}/TessoSetup.exe ${TESSO_WIN32_DIR}/TessoSetup.exe)
    string(REGEX MATCH "win-[a-z0-9_]+" arch ${exe})
    add_test(NAME packaging.imports.${arch}
             COMMAND ${CMAKE_SOURCE_DIR}/tests/packaging/check-imports.sh ${exe})
endforeach()

# The same screens under a Chinese system (code page 936, Chinese system language).
function(tesso_wine_test_chinese name program)
    tesso_wine_test(${name} ${program} ${ARGN})
    set_property(TEST ${name} PROPERTY ENVIRONMENT "LC_ALL=zh_CN.UTF-8;TESSO_LOCALE_TAG=zh;\
TESSO_SCREENSHOTS=${TESSO_SCREENSHOT_DIR};TESSO_SETUP_EXE=${TESSO_WIN64_DIR}/TessoSetup.exe")
endfunction()
tesso_wine_test_chinese(wine.startup_gui_test.zh ${TESSO_WIN64_DIR}/startup_gui_test.exe --gtest_brief=1
    --gtest_filter=*StartScreen*)
tesso_wine_test_chinese(wine.wizard_gui_test.zh ${TESSO_WIN64_DIR}/wizard_gui_test.exe --gtest_brief=1
    --gtest_filter=*ChineseSystem*)
