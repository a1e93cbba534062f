# Cross build of the setup program (and, for the 64-bit twin, its Windows-side tests).
enable_language(RC)

set(TESSO_PAYLOAD_DIR "" CACHE PATH "Folder of the packed payloads made by the host build")
option(TESSO_BUILD_WINE_TESTS "Build the test programs that run under Wine" OFF)

# Everything static: the setup must import system DLLs only.
# Chinese texts are written in UTF-8 and stored as GBK, as the program shows them.
add_compile_options(-Wall -Wextra -fexec-charset=GBK)
add_link_options(-static -static-libgcc -static-libstdc++)

set(TESSO_WIN32_SOURCES
    src/setup/setup_state_win32.cpp
    src/install/payload_source_win32.cpp
    src/install/file_system_win32.cpp
    src/install/shell_links_win32.cpp
    src/install/install_ui_win32.cpp
    src/glyphs/glyph_pages_win32.cpp
    src/glyphs/mixed_text_win32.cpp
    src/glyphs/owner_draw_win32.cpp
    src/wizard/message_box_win32.cpp
    src/wizard/folder_chooser_win32.cpp
    src/wizard/wizard_win32.cpp
)
set(TESSO_SYSTEM_LIBRARIES comctl32 comdlg32 shell32 ole32 uuid gdi32 user32 advapi32 kernel32)

add_library(tesso_setup_core STATIC ${TESSO_PORTABLE_SOURCES} ${TESSO_WIN32_SOURCES})
target_include_directories(tesso_setup_core PUBLIC src ${CMAKE_BINARY_DIR}/generated)
target_compile_definitions(tesso_setup_core PUBLIC WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0500)
target_link_libraries(tesso_setup_core PUBLIC z ${TESSO_SYSTEM_LIBRARIES})

# The resources: dialog templates, icon and every payload.
set(TESSO_RESOURCE_FILES ${CMAKE_SOURCE_DIR}/resources/setup.rc)
set_source_files_properties(${TESSO_RESOURCE_FILES} PROPERTIES
    OBJECT_DEPENDS "${TESSO_PAYLOAD_DIR}/payloads.rc;${TESSO_PAYLOAD_DIR}/tesso.ico")
add_library(tesso_resources OBJECT ${TESSO_RESOURCE_FILES})
target_include_directories(tesso_resources PRIVATE src ${TESSO_PAYLOAD_DIR})

add_executable(TessoSetup WIN32 src/setup/main_win32.cpp $<TARGET_OBJECTS:tesso_resources>)
target_link_libraries(TessoSetup PRIVATE tesso_setup_core)

if(TESSO_BUILD_WINE_TESTS)
    include(cmake/windows-tests.cmake)
endif()
