# Linux host build: the payload generator, the portable code with its unit tests (sanitizers on),
# the two cross-built setups as sub-builds, and the tests that run the 64-bit build under Wine.
include(ExternalProject)
enable_testing()

find_package(ZLIB REQUIRED)
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)

set(TESSO_UNIFONT_HEX /usr/share/unifont/unifont.hex CACHE FILEPATH "GNU Unifont .hex file for the glyph font")
set(TESSO_PAYLOAD_DIR ${CMAKE_BINARY_DIR}/payloads)
set(TESSO_OVERRIDE_DIR ${CMAKE_SOURCE_DIR}/resources/payload-files)

# --- payloads -------------------------------------------------------------------------------------
add_executable(make_payloads tools/make_payloads.cpp tools/standin_text.cpp tools/glyph_font_builder.cpp
    tools/png.cpp)
find_library(TESSO_ZOPFLI_LIBRARY zopfli REQUIRED)  # Debian's libzopfli-dev
target_link_libraries(make_payloads PRIVATE ZLIB::ZLIB ${TESSO_ZOPFLI_LIBRARY} Threads::Threads)
target_compile_options(make_payloads PRIVATE -O2)

add_executable(make_icon tools/make_icon.cpp)
# Run on the linked setup: its resources back on a 4 KiB boundary of the file (shipping-flags.cmake).
add_executable(align_resources tools/align_resources.cpp)

file(GLOB TESSO_OVERRIDE_FILES CONFIGURE_DEPENDS ${TESSO_OVERRIDE_DIR}/*)
file(GLOB TESSO_TEXT_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/text/*)
# The generator is the one reader of resources/payloads.tsv: with the packed streams it writes the
# program's catalogue (payload_catalogue_table.inc), the names of its ids (payload_ids.inc) and the
# table of their checks.
add_custom_command(
    OUTPUT ${TESSO_PAYLOAD_DIR}/payloads.rc ${TESSO_PAYLOAD_DIR}/payloads.pack ${TESSO_PAYLOAD_DIR}/payload_checks.inc
           ${TESSO_PAYLOAD_DIR}/payload_catalogue_table.inc ${TESSO_PAYLOAD_DIR}/payload_ids.inc
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TESSO_PAYLOAD_DIR}
    COMMAND make_payloads ${CMAKE_SOURCE_DIR}/resources/payloads.tsv ${CMAKE_SOURCE_DIR}/resources/text
            ${TESSO_UNIFONT_HEX} ${TESSO_OVERRIDE_DIR} ${TESSO_PAYLOAD_DIR}
    DEPENDS make_payloads ${CMAKE_SOURCE_DIR}/resources/payloads.tsv ${TESSO_OVERRIDE_FILES} ${TESSO_TEXT_FILES}
    COMMENT "Making and packing the payloads")
add_custom_command(
    OUTPUT ${TESSO_PAYLOAD_DIR}/tesso.ico
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TESSO_PAYLOAD_DIR}
    COMMAND make_icon ${TESSO_PAYLOAD_DIR}/tesso.ico
    DEPENDS make_icon)
add_custom_target(payloads ALL DEPENDS ${TESSO_PAYLOAD_DIR}/payloads.rc ${TESSO_PAYLOAD_DIR}/tesso.ico)

# --- portable code and its unit tests -------------------------------------------------------------
option(TESSO_SANITIZE "Build the host tests with AddressSanitizer and UBSan" ON)
set(TESSO_SANITIZER_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

function(tesso_host_library name sanitize)
    add_library(${name} STATIC ${TESSO_PORTABLE_SOURCES}
        tests/standins/payload_store_posix.cpp tests/standins/file_system_posix.cpp
        tests/standins/access_rights_posix.cpp tests/standins/worker_thread_posix.cpp)
    target_include_directories(${name} PUBLIC src tests/standins ${TESSO_PAYLOAD_DIR})
    target_compile_definitions(${name} PUBLIC TESSO_PAYLOAD_DIR="${TESSO_PAYLOAD_DIR}")
    target_compile_options(${name} PRIVATE -Wall -Wextra)
    # Chinese texts are written in UTF-8 and stored as GBK, as the program shows them.
    target_compile_options(${name} PUBLIC -fexec-charset=GBK)
    target_link_libraries(${name} PUBLIC ZLIB::ZLIB Threads::Threads)
    add_dependencies(${name} payloads)  # payload_checks.inc, payload_catalogue_table.inc, payload_ids.inc
    if(sanitize)
        target_compile_options(${name} PUBLIC ${TESSO_SANITIZER_FLAGS})
        target_link_options(${name} PUBLIC ${TESSO_SANITIZER_FLAGS})
    endif()
endfunction()

tesso_host_library(tesso_portable ${TESSO_SANITIZE})
# The native benchmark's copy, optimised and without sanitizers: built by bench/run-bench.sh alone.
tesso_host_library(tesso_portable_fast OFF)
target_compile_options(tesso_portable_fast PRIVATE -O2)
set_target_properties(tesso_portable_fast PROPERTIES EXCLUDE_FROM_ALL ON)

file(GLOB TESSO_HOST_TEST_SOURCES CONFIGURE_DEPENDS tests/host/*.cpp)
add_executable(tesso_host_tests ${TESSO_HOST_TEST_SOURCES})
target_link_libraries(tesso_host_tests PRIVATE tesso_portable GTest::gtest GTest::gtest_main Threads::Threads)
target_compile_definitions(tesso_host_tests PRIVATE TESSO_UNIFONT_HEX="${TESSO_UNIFONT_HEX}"
    TESSO_MAKE_PAYLOADS="$<TARGET_FILE:make_payloads>" TESSO_TEXT_DIR="${CMAKE_SOURCE_DIR}/resources/text")
add_dependencies(tesso_host_tests payloads)
include(GoogleTest)
gtest_discover_tests(tesso_host_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
add_test(NAME host.unprivileged COMMAND ${CMAKE_SOURCE_DIR}/tests/host/run-unprivileged.sh
         $<TARGET_FILE:tesso_host_tests>)
set_tests_properties(host.unprivileged PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77)

add_executable(bench_install_native EXCLUDE_FROM_ALL bench/bench_install.cpp tests/host/install_doubles.cpp)
target_link_libraries(bench_install_native PRIVATE tesso_portable_fast)
add_dependencies(bench_install_native payloads)

# --- the Windows builds ---------------------------------------------------------------------------
# zlib's source for the Windows builds, from Debian's source package (unpacked once per build tree).
set(TESSO_ZLIB_SOURCE "" CACHE PATH "zlib's source for the Windows builds (fetched when empty)")
if(NOT TESSO_ZLIB_SOURCE)
    execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/fetch-zlib-source.sh ${CMAKE_BINARY_DIR}/deps
                    OUTPUT_VARIABLE zlib_source OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE fetched)
    if(NOT fetched EQUAL 0)
        message(FATAL_ERROR "Could not fetch zlib's source package (scripts/fetch-zlib-source.sh)")
    endif()
    set(TESSO_ZLIB_SOURCE ${zlib_source} CACHE PATH "zlib's source for the Windows builds" FORCE)
endif()

# win-<arch>: the shipped setup (win32 thread model, shipping flags). win-<arch>-tests: the
# Windows-side test programs (posix thread model for GoogleTest); the 32-bit set is the part that
# runs the shipped 32-bit setup in a 32-bit prefix.
foreach(arch x86_64 i686)
    ExternalProject_Add(setup_${arch}
        SOURCE_DIR ${CMAKE_SOURCE_DIR}
        BINARY_DIR ${CMAKE_BINARY_DIR}/win-${arch}
        CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-${arch}.cmake
                   -DCMAKE_BUILD_TYPE=MinSizeRel
                   -DTESSO_PAYLOAD_DIR=${TESSO_PAYLOAD_DIR}
                   -DTESSO_ZLIB_SOURCE=${TESSO_ZLIB_SOURCE}
                   -DTESSO_ALIGN_RESOURCES=$<TARGET_FILE:align_resources>
        BUILD_ALWAYS ON
        BUILD_BYPRODUCTS ${CMAKE_BINARY_DIR}/win-${arch}/TessoSetup.exe  # what the signing step signs
        INSTALL_COMMAND ""
        DEPENDS payloads align_resources)
    if(arch STREQUAL i686)
        set(test_names "startup_gui_test|wizard_gui_test")
    else()
        set(test_names "")
    endif()
    ExternalProject_Add(wintests_${arch}
        SOURCE_DIR ${CMAKE_SOURCE_DIR}
        BINARY_DIR ${CMAKE_BINARY_DIR}/win-${arch}-tests
        LIST_SEPARATOR |
        CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-${arch}.cmake
                   -DTESSO_MINGW_THREADS=posix
                   -DCMAKE_BUILD_TYPE=Release
                   -DTESSO_PAYLOAD_DIR=${TESSO_PAYLOAD_DIR}
                   -DTESSO_ZLIB_SOURCE=${TESSO_ZLIB_SOURCE}
                   -DTESSO_BUILD_WINE_TESTS=ON
                   "-DTESSO_WINE_TEST_NAMES=${test_names}"
        BUILD_ALWAYS ON
        INSTALL_COMMAND ""
        DEPENDS payloads)
endforeach()
set(TESSO_WIN64_DIR ${CMAKE_BINARY_DIR}/win-x86_64)
set(TESSO_WIN32_DIR ${CMAKE_BINARY_DIR}/win-i686)
set(TESSO_WIN64_TESTS_DIR ${CMAKE_BINARY_DIR}/win-x86_64-tests)
set(TESSO_WIN32_TESTS_DIR ${CMAKE_BINARY_DIR}/win-i686-tests)

include(cmake/wine-tests.cmake)
include(cmake/signing.cmake)

add_test(NAME packaging.format COMMAND ${CMAKE_SOURCE_DIR}/tests/packaging/check-format.sh ${CMAKE_SOURCE_DIR})
add_test(NAME packaging.layering COMMAND ${CMAKE_SOURCE_DIR}/tests/packaging/check-layering.sh ${CMAKE_SOURCE_DIR})

add_test(NAME packaging.deterministic
         COMMAND ${CMAKE_SOURCE_DIR}/tests/packaging/check-deterministic.sh $<TARGET_FILE:make_payloads>
                 ${CMAKE_SOURCE_DIR}/resources/payloads.tsv ${CMAKE_SOURCE_DIR}/resources/text ${TESSO_UNIFONT_HEX}
                 ${TESSO_OVERRIDE_DIR} ${TESSO_PAYLOAD_DIR} ${TESSO_WIN32_DIR}/TessoSetup.exe
                 ${TESSO_WIN64_DIR}/TessoSetup.exe)
