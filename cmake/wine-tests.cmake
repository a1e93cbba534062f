# Tests that run the Windows builds under Wine. The 64-bit tests are shared between two prefixes
# inside the build tree, the 32-bit tests have another; the tests of a prefix run one at a time (they
# share a wineserver), and each run ends with the prefix's wineserver killed. Each test has a screen
# of its own (TESSO_PRIVATE_SCREEN: a private Xvfb even where a display is set), so that the two
# 64-bit prefixes' tests run side by side: most of a GUI test's time is waiting for the setup, and
# one prefix made the whole command wait for them one after another.
set(TESSO_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(TESSO_WINE_PREFIX_B ${CMAKE_BINARY_DIR}/wine-prefix-b)
set(TESSO_WINE32_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix-win32)
set(TESSO_WINE_RUN ${CMAKE_SOURCE_DIR}/tests/wine/run-under-wine.sh)
set(TESSO_SCREENSHOT_DIR ${CMAKE_BINARY_DIR}/screenshots)
set(TESSO_SKIPPED 77)  # run-under-wine.sh --win32 where this machine runs no 32-bit code

add_test(NAME wine.prefix COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/prepare-prefix.sh ${TESSO_WINE_PREFIX})
set_tests_properties(wine.prefix PROPERTIES FIXTURES_SETUP wine RESOURCE_LOCK wine TIMEOUT 300)
add_test(NAME wine.prefix-b COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/prepare-prefix.sh ${TESSO_WINE_PREFIX_B})
set_tests_properties(wine.prefix-b PROPERTIES FIXTURES_SETUP wine-b RESOURCE_LOCK wine-b TIMEOUT 300)
add_test(NAME wine32.prefix COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/prepare-prefix.sh --win32 ${TESSO_WINE32_PREFIX})
set_tests_properties(wine32.prefix PROPERTIES FIXTURES_SETUP wine32 RESOURCE_LOCK wine32 TIMEOUT 300
    SKIP_RETURN_CODE ${TESSO_SKIPPED})

# The test programs whose runs go to the second prefix (with their variants below): about half of
# the time of all, by their measured times.
set(TESSO_WINE_B_PROGRAMS whole_or_nothing_gui_test startup_gui_test responsiveness_gui_test
    released_resources_gui_test controls_gui_test message_box_test planted_dll_test system_functions_test
    wizard_template_test)

# name: test name; program: path of the .exe; remaining arguments go to the program. A command in
# TESSO_WINE_WRAPPER, when set, runs the whole Wine command, and is given the prefix first.
function(tesso_wine_test name program)
    get_filename_component(base ${program} NAME_WE)
    if(base IN_LIST TESSO_WINE_B_PROGRAMS)
        set(prefix ${TESSO_WINE_PREFIX_B})
        set(fixture wine-b)
    else()
        set(prefix ${TESSO_WINE_PREFIX})
        set(fixture wine)
    endif()
    set(wrapper ${TESSO_WINE_WRAPPER})
    if(wrapper)
        list(APPEND wrapper ${prefix})
    endif()
    add_test(NAME ${name} COMMAND ${wrapper} ${TESSO_WINE_RUN} ${prefix} ${program} ${ARGN})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED ${fixture} RESOURCE_LOCK ${fixture} TIMEOUT 300
        ENVIRONMENT "LC_ALL=en_US.UTF-8;TESSO_PRIVATE_SCREEN=1;TESSO_SCREENSHOTS=${TESSO_SCREENSHOT_DIR};\
TESSO_SETUP_EXE=${TESSO_WIN64_DIR}/TessoSetup.exe")
endfunction()

# Windows paths of the two shipped executables, through Wine's Z: drive.
string(REPLACE "/" "\\" win64_exe "Z:${TESSO_WIN64_DIR}/TessoSetup.exe")
string(REPLACE "/" "\\" win32_exe "Z:${TESSO_WIN32_DIR}/TessoSetup.exe")

file(GLOB TESSO_WINE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/*_test.cpp)
foreach(source ${TESSO_WINE_TEST_SOURCES})
    get_filename_component(name ${source} NAME_WE)
    set(TESSO_WINE_WRAPPER "")
    if(name STREQUAL reliability_gui_test)  # with a small disk mapped as drive T:, where possible
        set(TESSO_WINE_WRAPPER ${CMAKE_SOURCE_DIR}/tests/wine/with-small-drive.sh)
    elseif(name STREQUAL folder_trust_gui_test)  # with a folder another user owns, where possible
        set(TESSO_WINE_WRAPPER ${CMAKE_SOURCE_DIR}/tests/wine/with-foreign-folder.sh)
    endif()
    tesso_wine_test(wine.${name} ${TESSO_WIN64_TESTS_DIR}/${name}.exe --gtest_brief=1)
    set_property(TEST wine.${name} APPEND PROPERTY ENVIRONMENT "TESSO_SETUP_EXES=${win64_exe}\\;${win32_exe}")
endforeach()

set(TESSO_WINE_WRAPPER "")

# A small screen: a long message still fits.
tesso_wine_test(wine.message_box_test.800x600 ${TESSO_WIN64_TESTS_DIR}/message_box_test.exe --gtest_brief=1
    --gtest_filter=*LongText*)
set_property(TEST wine.message_box_test.800x600 APPEND PROPERTY ENVIRONMENT "TESSO_SCREEN=800x600x24")

# A small screen, at normal and at large fonts (120 DPI, a prefix of its own): the wizard is placed
# inside the work area.
tesso_wine_test(wine.startup_gui_test.800x600 ${TESSO_WIN64_TESTS_DIR}/startup_gui_test.exe --gtest_brief=1
    --gtest_filter=*WorkArea*)
set_property(TEST wine.startup_gui_test.800x600 APPEND PROPERTY ENVIRONMENT "TESSO_SCREEN=800x600x24")
set(TESSO_LARGE_FONTS_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix-large-fonts)
add_test(NAME wine.large-fonts.prefix COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/prepare-prefix.sh --large-fonts
         ${TESSO_LARGE_FONTS_PREFIX})
set_tests_properties(wine.large-fonts.prefix PROPERTIES FIXTURES_SETUP large-fonts RESOURCE_LOCK large-fonts TIMEOUT 300)
add_test(NAME wine.startup_gui_test.800x600-large-fonts COMMAND ${TESSO_WINE_RUN} ${TESSO_LARGE_FONTS_PREFIX}
         ${TESSO_WIN64_TESTS_DIR}/startup_gui_test.exe --gtest_brief=1 --gtest_filter=*WorkArea*)
set_tests_properties(wine.startup_gui_test.800x600-large-fonts PROPERTIES FIXTURES_REQUIRED large-fonts
    RESOURCE_LOCK large-fonts TIMEOUT 300 ENVIRONMENT "LC_ALL=en_US.UTF-8;TESSO_SCREEN=800x600x24;TESSO_PRIVATE_SCREEN=1;\
TESSO_SCREENSHOTS=${TESSO_SCREENSHOT_DIR}/large-fonts;TESSO_SETUP_EXE=${TESSO_WIN64_DIR}/TessoSetup.exe")

# As an ordinary user, for whom a read-only file really is read-only (Wine keeps the attribute as
# the Unix write bits, which root ignores), in a prefix of that user's own: the protected files and
# INI file of an earlier install are lifted before they are opened, replaced or updated.
add_test(NAME wine.ordinary_user COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/run-as-ordinary-user.sh
         ${CMAKE_BINARY_DIR}/wine-prefix-ordinary-user ${TESSO_WIN64_TESTS_DIR}/install_test.exe
         ${TESSO_WIN64_TESTS_DIR}/file_placement_test.exe ${TESSO_WIN64_TESTS_DIR}/folder_trust_gui_test.exe)
set_tests_properties(wine.ordinary_user PROPERTIES TIMEOUT 300 ENVIRONMENT
    "LC_ALL=en_US.UTF-8;TESSO_SETUP_EXES=${win64_exe}\\;${win32_exe};TESSO_SETUP_EXE=${win64_exe};TESSO_PRIVATE_SCREEN=1")

# A Japanese system (code page 932): the GBK texts read the same.
tesso_wine_test(wine.wizard_gui_test.ja ${TESSO_WIN64_TESTS_DIR}/wizard_gui_test.exe --gtest_brief=1
    --gtest_filter=*JapaneseSystem*)
set_property(TEST wine.wizard_gui_test.ja PROPERTY ENVIRONMENT "LC_ALL=ja_JP.UTF-8;TESSO_PRIVATE_SCREEN=1;\
TESSO_SCREENSHOTS=${TESSO_SCREENSHOT_DIR};TESSO_SETUP_EXE=${TESSO_WIN64_DIR}/TessoSetup.exe")

# A black high-contrast scheme, in a prefix of its own: every glyph in the scheme's colours.
set(TESSO_CONTRAST_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix-contrast)
add_test(NAME wine.contrast.prefix COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/prepare-prefix.sh --high-contrast
         ${TESSO_CONTRAST_PREFIX})
set_tests_properties(wine.contrast.prefix PROPERTIES FIXTURES_SETUP contrast RESOURCE_LOCK contrast TIMEOUT 300)
add_test(NAME wine.wizard_gui_test.contrast COMMAND ${TESSO_WINE_RUN} ${TESSO_CONTRAST_PREFIX}
         ${TESSO_WIN64_TESTS_DIR}/wizard_gui_test.exe --gtest_brief=1 --gtest_filter=*HighContrast*)
set_tests_properties(wine.wizard_gui_test.contrast PROPERTIES FIXTURES_REQUIRED contrast RESOURCE_LOCK contrast
    TIMEOUT 300 ENVIRONMENT "LC_ALL=en_US.UTF-8;TESSO_PRIVATE_SCREEN=1;TESSO_SCREENSHOTS=${TESSO_SCREENSHOT_DIR}/contrast;\
TESSO_SETUP_EXE=${TESSO_WIN64_DIR}/TessoSetup.exe")

# The same screens under a Chinese system (code page 936, Chinese system language).
function(tesso_wine_test_chinese name program)
    tesso_wine_test(${name} ${program} ${ARGN})
    set_property(TEST ${name} PROPERTY ENVIRONMENT "LC_ALL=zh_CN.UTF-8;TESSO_LOCALE_TAG=zh;TESSO_PRIVATE_SCREEN=1;\
TESSO_SCREENSHOTS=${TESSO_SCREENSHOT_DIR};TESSO_SETUP_EXE=${TESSO_WIN64_DIR}/TessoSetup.exe")
endfunction()
tesso_wine_test_chinese(wine.startup_gui_test.zh ${TESSO_WIN64_TESTS_DIR}/startup_gui_test.exe --gtest_brief=1
    --gtest_filter=*StartScreen*)
tesso_wine_test_chinese(wine.reliability_gui_test.zh ${TESSO_WIN64_TESTS_DIR}/reliability_gui_test.exe
    --gtest_brief=1 --gtest_filter=*ChineseSystem*)
tesso_wine_test_chinese(wine.wizard_gui_test.zh ${TESSO_WIN64_TESTS_DIR}/wizard_gui_test.exe --gtest_brief=1
    --gtest_filter=*ChineseSystem*)

# What ships: the 32-bit setup in a 32-bit prefix, as the 95 family (win98) and as NT 4.0 see it.
# The start-up tests and a whole install clicked through, with its files, attributes, INI file and
# shortcuts checked.
foreach(version win98 nt40)
    foreach(program startup_gui_test wizard_gui_test)
        set(name wine32.${version}.${program})
        add_test(NAME ${name} COMMAND ${TESSO_WINE_RUN} --win32 --windows-version ${version}
            ${TESSO_WINE32_PREFIX} ${TESSO_WIN32_TESTS_DIR}/${program}.exe --gtest_brief=1
            --gtest_filter=SetupRun.*:Wizard.ClickedThroughItInstallsEverything)
        set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine32 RESOURCE_LOCK wine32 TIMEOUT 300
            SKIP_RETURN_CODE ${TESSO_SKIPPED}
            ENVIRONMENT "LC_ALL=en_US.UTF-8;TESSO_SCREENSHOTS=${TESSO_SCREENSHOT_DIR}/${version};\
TESSO_SETUP_EXE=${TESSO_WIN32_DIR}/TessoSetup.exe")
    endforeach()
endforeach()

# The shipped executables import only what the oldest systems have, function by function, and hold
# no instruction newer than the Pentium; the payload-free part stays small.
foreach(dir ${TESSO_WIN64_DIR} ${TESSO_WIN32_DIR})
    get_filename_component(arch ${dir} NAME)
    add_test(NAME packaging.imports.${arch}
             COMMAND ${CMAKE_SOURCE_DIR}/tests/packaging/check-imports.sh ${dir}/TessoSetup.exe
                     ${CMAKE_SOURCE_DIR}/tests/packaging/allowed-imports.txt)
    add_test(NAME packaging.instructions.${arch}
             COMMAND ${CMAKE_SOURCE_DIR}/tests/packaging/check-instructions.sh ${dir}/TessoSetup.exe)
    add_test(NAME packaging.size.${arch}
             COMMAND ${CMAKE_SOURCE_DIR}/tests/packaging/check-size.sh ${dir}/TessoSetup.exe ${TESSO_PAYLOAD_DIR})
endforeach()

# A second setup under another Wine prefix (another wineserver) on the folder of an install under way:
# the high-contrast prefix serves as the other one.
set_property(TEST wine.whole_or_nothing_gui_test APPEND PROPERTY FIXTURES_REQUIRED contrast)
set_property(TEST wine.whole_or_nothing_gui_test APPEND PROPERTY RESOURCE_LOCK contrast)
set_property(TEST wine.whole_or_nothing_gui_test APPEND PROPERTY ENVIRONMENT
    "TESSO_OTHER_PREFIX=${TESSO_CONTRAST_PREFIX}")
set_property(TEST wine.whole_or_nothing_gui_test PROPERTY TIMEOUT 600)

# Prefixes are made one at a time: two first starts of Wine side by side failed now and then (the
# one prefix or the other left unusable).
foreach(made wine.prefix wine.prefix-b wine.large-fonts.prefix wine.contrast.prefix)
    set_property(TEST ${made} APPEND PROPERTY RESOURCE_LOCK wine-prefixes)
endforeach()
