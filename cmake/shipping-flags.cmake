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
if(CMAKE_SYSTEM_PROCESSOR STREQUAL i686)
    add_compile_options(-march=i586 -mtune=pentium -mpreferred-stack-boundary=2 -fomit-frame-pointer)
endif()
add_compile_options(-Oz -fno-ident -ffunction-sections -fno-asynchronous-unwind-tables
    -fno-unwind-tables -D__USE_MINGW_ANSI_STDIO=0)
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions> $<$<COMPILE_LANGUAGE:CXX>:-fno-rtti>)
add_link_options(-nostartfiles -s -Wl,--gc-sections -Wl,--file-alignment,4096 -Wl,--disable-auto-import
    -Wl,--disable-runtime-pseudo-reloc -Wl,--no-insert-timestamp -Wl,-Map=${CMAKE_BINARY_DIR}/link.map)

function(tesso_shipping_entry target)
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL i686)
        target_link_options(${target} PRIVATE -Wl,-e,_Start@0)  # __stdcall decoration
    else()
        target_link_options(${target} PRIVATE -Wl,-e,Start)
    endif()
endfunction()
