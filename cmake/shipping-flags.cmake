# Flags of the shipped setup, the same for the 32-bit exe and its 64-bit twin.
# - The 32-bit exe runs on a Pentium: no cmov, fcomi or MMX. zlib and everything else linked in is
#   compiled here with these flags; tests/packaging/check-instructions.sh disassembles the result.
# - No C++ runtime: no exceptions, no RTTI, and nothing that needs libstdc++. msvcrt's own
#   _vsnprintf is used (__USE_MINGW_ANSI_STDIO=0, base/format_text.h), not mingw's printf.
# - No start-up files: mingw's hold Pentium Pro instructions and run what the setup does not need
#   (static constructors, of which the setup has none, TLS, pseudo-relocations, which
#   --disable-auto-import forbids). The entry point is Start in main_win32.cpp.
# - Stripped, unused sections dropped.
# - No link time in the PE header (ld writes one by default): the same sources give the same bytes,
#   and a signed copy differs from the build's exe by its signature alone. The loader of every
#   Windows from 95 and NT 4.0 on reads the field only to match bound imports, which the setup lacks.
# - Size first: the setup's own code is its windows, its checks and its file calls, which wait on
#   the disk and the user, so it is built with -Oz; zlib keeps -Os (cmake/windows.cmake), since its
#   loops are the install's time. On the 32-bit exe: no frame-pointer chain (nothing walks it: the
#   setup has no unwinding and no debugger ships with it), and the stack kept at the 4-byte alignment
#   the Win32 x86 convention promises. Windows 95, 98 and NT 4.0 call window procedures and thread
#   starts with a stack aligned to 4 bytes only, later systems likewise make no promise of more, and
#   nothing in the setup asks for more (no SSE on a Pentium; a double needs 4 to be correct): the
#   16-byte default only spent code realigning. Two things trade code for relocations (every
#   absolute address in the 32-bit exe is one the loader may have to move, 2 bytes each in .reloc;
#   code has room before the resources' page, tests/packaging/check-size.sh): no jump tables (a
#   chain of compares instead), and system functions called through the import library's one jump
#   each (DECLSPEC_IMPORT made empty) rather than through their import address at every call site.
#   Both are plain code to every loader and processor from 95 and the Pentium on.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL i686)
    add_compile_options(-march=i586 -mtune=pentium -mpreferred-stack-boundary=2 -fomit-frame-pointer
        -fno-jump-tables -DDECLSPEC_IMPORT=)
endif()
add_compile_options(-Oz -fno-ident -ffunction-sections -fno-asynchronous-unwind-tables
    -fno-unwind-tables -D__USE_MINGW_ANSI_STDIO=0)
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions> $<$<COMPILE_LANGUAGE:CXX>:-fno-rtti>)
# - Sections 512-byte aligned in the file (the PE format's default and what every Windows from 95
#   and NT 3.1 loads; the sections stay 4 KiB apart in memory, as 95's loader requires), so that the
#   code and tables carry no page padding. The resources alone are put back on a 4 KiB boundary
#   after the link (tools/align_resources.cpp): Wine maps a section that starts on a page of the
#   file and reads any other whole into memory at start-up, which for the 28 MB of payloads would
#   cost the start and the memory. Windows NT pages either in from the file as it is touched; 98's
#   cache mapping wants every section on 4 KiB and copies the pages the install touches otherwise,
#   as 95 always does.
add_link_options(-nostartfiles -s -Wl,--gc-sections -Wl,--file-alignment,512 -Wl,--disable-auto-import
    -Wl,--disable-runtime-pseudo-reloc -Wl,--no-insert-timestamp -Wl,-Map=${CMAKE_BINARY_DIR}/link.map)

function(tesso_shipping_entry target)
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL i686)
        target_link_options(${target} PRIVATE -Wl,-e,_Start@0)  # __stdcall decoration
    else()
        target_link_options(${target} PRIVATE -Wl,-e,Start)
    endif()
endfunction()
