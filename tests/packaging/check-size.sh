#!/bin/bash
# Fails when the setup's own part (exe size less the packed payload streams) passes its limit, or when
# the exe still carries symbols or debug sections, or lacks its manifest or version resource.
# Prints the figure.
# usage: check-size.sh <exe> <payload folder with the packed *.z streams>
set -eu
exe=$1
# The shipped 32-bit exe: 96 KiB. The whole-or-nothing install (staged
# files, the journal, the recovery's own work folder with its rights, lock and commit record, the
# checks of every name, Wine's link check, the refused session end) took it to 116,710 bytes under a
# cap of 120 KiB. Five 4-KiB pages that held no code came out: a .data page for one initialised flag
# (every such flag is zero-initialised now, in .bss), the icon at 32 bits a pixel (4 now: it has
# three colours), a resource directory entry for each of the 122 payload streams (now one resource
# holding them all, each found by the sizes in the table of checks and still checked by its
# CRC-32), the manifest's comments (now in resources/setup_exe.rc) and install steps of 16 bytes a
# row (6 now). Two pages of code went back in: staging on two threads, NT 4.0's inheritance, the
# forced end of the session, the Restart Manager's name of a program that holds a file, unelevated
# runs and the folder-name rules. The commit on one open per file needed a sixteenth page of code
# and paid for it: -Oz and no frame pointer or 16-byte stack realignment for the setup's own code,
# the messages that name nothing in one table and the named ones through one body, and the glyph
# font and licence inflated raw. Then 512-byte file alignment, the resources alone kept on a 4 KiB
# boundary of the file (cmake/shipping-flags.cmake): 108,518 to 103,910 bytes; and zlib's fixed
# Huffman and CRC tables computed at run time instead of shipped (cmake/windows.cmake), which let
# the resources start a page sooner: 99,814. Then fewer relocations (2 bytes each): the catalogue's
# names, the system functions' names, the plain messages and the DLLs loaded ahead as texts with
# offsets instead of pointers, no jump tables and system calls through the import library's jumps;
# the table of stream checks at 10 bytes a row; the manifest on one line without a description, no
# texts on the folder chooser's never-shown controls and no optional copyright line in the version
# resource: 98,278. To spare before the next step: the resources 8 bytes, the relocations 144, code
# and tables about 360 before the resources move a page.
# The figure moves 512 bytes at a time, and a page at a time where the sections before the resources
# cross a 4 KiB boundary of the file. The 64-bit twin's code is larger by nature (wider instructions
# and pointers) and only has to stay near it.
case $(file -b "$exe") in
    *x86-64*) objdump=x86_64-w64-mingw32-objdump limit=$((100 * 1024)) ;;
    *) objdump=i686-w64-mingw32-objdump limit=$((96 * 1024)) ;;
esac
payloads=$(cat "$2"/*.z | wc -c)
overhead=$(($(stat -c %s "$exe") - payloads))
echo "$exe: $(stat -c %s "$exe") bytes, payload streams $payloads, overhead $overhead bytes (limit $limit)"
if $objdump -h "$exe" | grep -qE '\.debug_|\.stab'; then
    echo "debug sections ship"
    exit 1
fi
if $objdump -t "$exe" | grep -q '^\['; then
    echo "the symbol table ships: the exe is not stripped"
    exit 1
fi
[ "$overhead" -le "$limit" ]
# The resources on a 4 KiB boundary of the file, where Wine maps them (tools/align_resources.cpp).
offset=$($objdump -h "$exe" | awk '$2 == ".rsrc" { print $6 }')
[ $((0x$offset % 4096)) -eq 0 ] || { echo ".rsrc at file offset 0x$offset, off a 4 KiB boundary"; exit 1; }
# The manifest asks for administrator rights, and the version resource names the product.
for text in requireAdministrator supportedOS; do
    grep -q "$text" "$exe" || { echo "the manifest lacks $text"; exit 1; }
done
LC_ALL=C grep -qaP 'P\x00r\x00o\x00d\x00u\x00c\x00t\x00N\x00a\x00m\x00e\x00\x00\x00+T\x00e\x00s\x00s\x00o\x00' "$exe" ||
    { echo "no version resource with the product name"; exit 1; }
