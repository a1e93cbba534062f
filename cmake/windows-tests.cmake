# Windows-side test programs; the host build runs them under Wine against the shipped setup.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The driver that starts the real setup, clicks and types into it and captures it.
add_library(wizard_driver STATIC ${CMAKE_SOURCE_DIR}/tests/driver/driver_process.cpp
    ${CMAKE_SOURCE_DIR}/tests/driver/driver_input.cpp ${CMAKE_SOURCE_DIR}/tests/driver/driver_capture.cpp
    ${CMAKE_SOURCE_DIR}/tests/driver/driver_glyphs.cpp ${CMAKE_SOURCE_DIR}/tests/driver/driver_watch.cpp
    ${CMAKE_SOURCE_DIR}/tests/driver/wizard_walk.cpp ${CMAKE_SOURCE_DIR}/tools/png.cpp)
target_include_directories(wizard_driver PUBLIC ${CMAKE_SOURCE_DIR}/tests/driver ${CMAKE_SOURCE_DIR}/src
    ${CMAKE_SOURCE_DIR}/tools PRIVATE ${TESSO_PAYLOAD_DIR})  # payload_checks.inc: where each stream lies
target_link_libraries(wizard_driver PUBLIC tesso_zlib gdi32 user32 advapi32 kernel32)

# The test programs' common entry, compiled once for all of them.
add_library(wine_test_main OBJECT ${CMAKE_SOURCE_DIR}/tests/wine/wine_main.cpp)
target_link_libraries(wine_test_main PRIVATE tesso_setup_core gtest)

file(GLOB TESSO_WINE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/*_test.cpp)
foreach(source ${TESSO_WINE_TEST_SOURCES})
    get_filename_component(name ${source} NAME_WE)
    if(TESSO_WINE_TEST_NAMES AND NOT name IN_LIST TESSO_WINE_TEST_NAMES)
        continue()
    endif()
    add_executable(${name} ${source} $<TARGET_OBJECTS:wine_test_main> $<TARGET_OBJECTS:tesso_resources>)
    target_link_libraries(${name} PRIVATE tesso_setup_core wizard_driver gtest)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/wine)
endforeach()

# The setup's own WinMain, run inside the test program that counts what a whole wizard run leaves.
if(TARGET released_resources_gui_test)
    set(setup_main ${CMAKE_SOURCE_DIR}/src/setup/main_win32.cpp)
    set_source_files_properties(${setup_main} PROPERTIES COMPILE_DEFINITIONS WinMain=SetupWinMain)
    target_sources(released_resources_gui_test PRIVATE ${setup_main})
endif()

# A DLL to plant beside the setup, and the bare window program it is compared with.
add_library(marker_dll SHARED ${CMAKE_SOURCE_DIR}/tests/wine/marker_dll.cpp ${CMAKE_SOURCE_DIR}/tests/wine/marker_dll.def)
set_target_properties(marker_dll PROPERTIES PREFIX "")
add_executable(bare_window WIN32 ${CMAKE_SOURCE_DIR}/tests/wine/bare_window.cpp
    ${CMAKE_SOURCE_DIR}/src/base/dll_search_win32.cpp ${CMAKE_SOURCE_DIR}/src/base/dll_search.cpp
    ${CMAKE_SOURCE_DIR}/src/base/format_text.cpp ${CMAKE_SOURCE_DIR}/src/base/system_functions_win32.cpp
    ${CMAKE_SOURCE_DIR}/src/base/setup_state.cpp ${CMAKE_SOURCE_DIR}/src/base/system_version.cpp
    ${CMAKE_SOURCE_DIR}/src/base/system_version_win32.cpp)
target_include_directories(bare_window PRIVATE ${CMAKE_SOURCE_DIR}/src)

# The walk through a whole install that the README's run command shows.
add_executable(wizard_walkthrough ${CMAKE_SOURCE_DIR}/tests/driver/walkthrough_main.cpp)
target_link_libraries(wizard_walkthrough PRIVATE wizard_driver)

if(TESSO_WINE_TEST_NAMES)
    return()  # a partial set (the 32-bit run) needs no benchmark
endif()

# The benchmark's programs, built by bench/run-bench.sh alone (no test runs them).
# The install benchmark, run under wine64.
add_executable(bench_install EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/bench_install.cpp
    $<TARGET_OBJECTS:tesso_resources>)
target_link_libraries(bench_install PRIVATE tesso_setup_core psapi)

# Time to a visible wizard against a bare dialog program started the same way.
add_executable(time_to_window EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/time_to_window.cpp)
target_link_libraries(time_to_window PRIVATE wizard_driver)
# The longest time the wizard leaves a message unanswered during an install and its wait.
add_executable(longest_wait EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/longest_wait.cpp)
target_link_libraries(longest_wait PRIVATE wizard_driver)
add_executable(bare_dialog WIN32 EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/bare_dialog.cpp ${CMAKE_SOURCE_DIR}/bench/bare_dialog.rc)
