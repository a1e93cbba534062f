#!/bin/bash
# Fails when the setup's own part (exe size less the packed payload streams) passes its limit, or when
# the exe still carries symbols or debug sections, or lacks its manifest or version resource.
# Prints the figure.
# usage: check-size.sh <exe> <payload folder with the packed *.z streams>
set -eu
exe=$1
# The shipped 32-bit exe: 96 KiB (98,278 bytes; how it got there is in the git log). The figure moves
# 512 bytes at a time, with the resources' and the relocations' sizes, and a page at a time where
# the sections before the resources cross a 4 KiB boundary of the file (the resources start on one,
# for Wine's sake: cmake/shipping-flags.cmake). To spare before the next step: the resources 8 bytes,
# the relocations 144, code and tables about 360. The 64-bit twin's code is larger by nature
# (wider instructions and pointers) and only has to stay near it.
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
