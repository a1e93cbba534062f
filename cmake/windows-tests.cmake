# Windows-side test programs of the 64-bit twin; the host build runs them under wine64.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB TESSO_WINE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/*_test.cpp)
foreach(source ${TESSO_WINE_TEST_SOURCES})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source} ${CMAKE_SOURCE_DIR}/tests/wine/wine_main.cpp $<TARGET_OBJECTS:tesso_resources>)
    target_link_libraries(${name} PRIVATE tesso_setup_core gtest)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/wine)
endforeach()

# The driver that starts the real setup, watches its windows, clicks and captures them.
file(GLOB TESSO_DRIVER_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/driver/*.cpp)
if(TESSO_DRIVER_SOURCES)
    add_executable(wizard_driver ${TESSO_DRIVER_SOURCES})
    target_link_libraries(wizard_driver PRIVATE z gdi32 user32 kernel32)
endif()

# The install benchmark, run under wine64 by bench/run-bench.sh.
add_executable(bench_install ${CMAKE_SOURCE_DIR}/bench/bench_install.cpp $<TARGET_OBJECTS:tesso_resources>)
target_link_libraries(bench_install PRIVATE tesso_setup_core)
