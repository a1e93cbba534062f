# Cross build of the setup program, or (TESSO_BUILD_WINE_TESTS) of its Windows-side test programs.
enable_language(RC)

set(TESSO_PAYLOAD_DIR "" CACHE PATH "Folder of the packed payloads made by the host build")
set(TESSO_ZLIB_SOURCE "" CACHE PATH "zlib's source, unpacked from Debian's source package")
option(TESSO_BUILD_WINE_TESTS "Build the test programs that run under Wine instead of the setup" OFF)
set(TESSO_WINE_TEST_NAMES "" CACHE STRING "Test programs to build (all when empty)")

# Chinese texts are written in UTF-8 and stored as GBK, as the program shows them.
add_compile_options(-Wall -Wextra -fexec-charset=GBK)
# Everything static: the setup must import system DLLs only.
add_link_options(-static -static-libgcc -static-libstdc++)

if(NOT TESSO_BUILD_WINE_TESTS)
    include(cmake/shipping-flags.cmake)
endif()

# zlib's fixed Huffman tables (2 KB of read-only data) are built when first needed instead
# (BUILDFIXED), into zeroed memory: zlib marks them unbuilt with a flag set to 1, which alone would
# bring back an initialised data section, so a copy of inflate.c made here turns the flag around.
# zlib warns that the building is not safe on two threads at once: CreatePayloadInflater builds the
# tables on the thread that creates every inflater, before any staging thread starts.
file(READ ${TESSO_ZLIB_SOURCE}/inflate.c inflate_source)
macro(tesso_zlib_edit before after)
    string(FIND "${inflate_source}" "${before}" found)
    if(found EQUAL -1)
        message(FATAL_ERROR "zlib's inflate.c has no \"${before}\" to change")
    endif()
    string(REPLACE "${before}" "${after}" inflate_source "${inflate_source}")
endmacro()
tesso_zlib_edit("virgin = 0;" "virgin = 1;")  # built
tesso_zlib_edit("static int virgin = 1;" "static int virgin;")
tesso_zlib_edit("if (virgin) {" "if (!virgin) {")
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/zlib/inflate.c CONTENT "${inflate_source}")

# Only what inflating needs; compiled with the setup's own flags (see scripts/fetch-zlib-source.sh).
add_library(tesso_zlib STATIC
    ${TESSO_ZLIB_SOURCE}/adler32.c ${TESSO_ZLIB_SOURCE}/crc32.c ${CMAKE_BINARY_DIR}/zlib/inflate.c
    ${TESSO_ZLIB_SOURCE}/inftrees.c ${TESSO_ZLIB_SOURCE}/inffast.c ${TESSO_ZLIB_SOURCE}/zutil.c
    ${TESSO_ZLIB_SOURCE}/uncompr.c)
if(TESSO_BUILD_WINE_TESTS)  # the test driver writes PNG screenshots
    target_sources(tesso_zlib PRIVATE ${TESSO_ZLIB_SOURCE}/deflate.c ${TESSO_ZLIB_SOURCE}/trees.c
        ${TESSO_ZLIB_SOURCE}/compress.c)
endif()
target_include_directories(tesso_zlib SYSTEM PUBLIC ${TESSO_ZLIB_SOURCE})
target_compile_options(tesso_zlib PRIVATE -w -Os)  # speed over the last bytes (shipping-flags.cmake)
# The payloads are zlib streams, never gzip: inflate leaves out its gzip header code.
target_compile_definitions(tesso_zlib PRIVATE NO_GZIP BUILDFIXED)
# The install is all inflating and summing: inflate's inner loop is compiled for speed, and the
# CRC-32 of every byte staged (and of the packed streams at start) is zlib's word-at-a-time
# ("braided") code, several times the speed of a byte at a time: on 66 MB, a large part of the
# install's time. Its tables (1 KB, and 8 KB more for the braids, 24 KB on the 64-bit twin) are
# computed at the first CRC rather than shipped (DYNAMIC_CRC_TABLE), so they cost zeroed memory,
# not bytes of the exe; the computing is guarded by C11 atomics, which the Pentium has (an
# exchange, and plain loads and stores).
set_source_files_properties(${TESSO_ZLIB_SOURCE}/inffast.c PROPERTIES COMPILE_OPTIONS -O2)
set_source_files_properties(${TESSO_ZLIB_SOURCE}/crc32.c PROPERTIES
    COMPILE_DEFINITIONS DYNAMIC_CRC_TABLE)

set(TESSO_WIN32_SOURCES
    src/base/system_functions_win32.cpp
    src/base/system_version_win32.cpp
    src/base/setup_state_win32.cpp
    src/base/dll_search_win32.cpp
    src/base/path_text_win32.cpp
    src/base/worker_thread_win32.cpp
    src/payload/payload_store_win32.cpp
    src/landing/file_system_win32.cpp
    src/landing/access_rights_win32.cpp
    src/landing/file_holder_win32.cpp
    src/install/shortcuts_win32.cpp
    src/install/install_entry_win32.cpp
    src/install/install_messages_win32.cpp
    src/glyphs/glyph_pages_win32.cpp
    src/glyphs/mixed_text_win32.cpp
    src/glyphs/owner_draw_win32.cpp
    src/wizard/message_box_win32.cpp
    src/wizard/wizard_window_win32.cpp
    src/wizard/setup_check_win32.cpp
    src/wizard/folder_chooser_win32.cpp
    src/wizard/wizard_win32.cpp
    src/wizard/wizard_template_win32.cpp
)
# comctl32, comdlg32, shell32 and ole32 are not among them: they are loaded by their full paths when
# first needed (base/system_functions_win32.h), which keeps them out of the start-up and out of the
# program's folder.
set(TESSO_SYSTEM_LIBRARIES uuid gdi32 user32 advapi32 kernel32)

add_library(tesso_setup_core STATIC ${TESSO_PORTABLE_SOURCES} ${TESSO_WIN32_SOURCES})
target_include_directories(tesso_setup_core PUBLIC src ${TESSO_PAYLOAD_DIR})
# The oldest systems the setup runs on are Windows 95 and NT 4.0 with comctl32 4.00: a later API
# then fails to compile. The test programs keep the newer headers.
set(TESSO_OLDEST_WINDOWS WINVER=0x0400 _WIN32_WINNT=0x0400 _WIN32_IE=0x0400)
target_compile_definitions(tesso_setup_core PRIVATE ${TESSO_OLDEST_WINDOWS})
target_link_libraries(tesso_setup_core PUBLIC tesso_zlib ${TESSO_SYSTEM_LIBRARIES})

# The resources: dialog templates, icon and every payload.
set(TESSO_RESOURCE_FILES ${CMAKE_SOURCE_DIR}/resources/setup.rc)
set_source_files_properties(${TESSO_RESOURCE_FILES} PROPERTIES
    OBJECT_DEPENDS "${TESSO_PAYLOAD_DIR}/payloads.rc;${TESSO_PAYLOAD_DIR}/payloads.pack;${TESSO_PAYLOAD_DIR}/tesso.ico")
add_library(tesso_resources OBJECT ${TESSO_RESOURCE_FILES})
target_include_directories(tesso_resources PRIVATE src ${TESSO_PAYLOAD_DIR})

if(TESSO_BUILD_WINE_TESTS)
    include(cmake/windows-tests.cmake)
    return()
endif()

# The setup itself: its manifest and version resource are its own, not the test programs'.
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/setup_exe.rc PROPERTIES
    OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/resources/setup.manifest)
add_executable(TessoSetup WIN32 src/setup/main_win32.cpp ${CMAKE_SOURCE_DIR}/resources/setup_exe.rc
    $<TARGET_OBJECTS:tesso_resources>)
target_compile_definitions(TessoSetup PRIVATE ${TESSO_OLDEST_WINDOWS})
target_include_directories(TessoSetup PRIVATE ${CMAKE_SOURCE_DIR}/resources)
target_link_libraries(TessoSetup PRIVATE tesso_setup_core)
tesso_shipping_entry(TessoSetup)
set(TESSO_ALIGN_RESOURCES "" CACHE FILEPATH "The host build's align_resources (shipping-flags.cmake)")
if(NOT TESSO_ALIGN_RESOURCES)
    message(FATAL_ERROR "TESSO_ALIGN_RESOURCES names no tool: build from the top-level project")
endif()
add_custom_command(TARGET TessoSetup POST_BUILD COMMAND ${TESSO_ALIGN_RESOURCES} $<TARGET_FILE:TessoSetup>)
