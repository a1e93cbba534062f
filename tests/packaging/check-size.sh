#!/bin/bash
# Fails when the setup's own part (exe size less the packed payload streams) passes its limit, or when
# the exe still carries symbols or debug sections, or lacks its manifest or version resource.
# Prints the figure.
# usage: check-size.sh <exe> <payload folder with the packed *.z streams>
set -eu
exe=$1
# The shipped 32-bit exe: 120 KiB (96 KiB before the install was made whole-or-nothing: staged
# files, the journal and the checks of every name cost about 12 KiB in 4-KiB pages; 112 KiB before
# the recovery's own work folder with its rights, lock and commit record, Wine's link check, the
# refused session end and the folder-name checks, which cost two more pages). The 64-bit twin's code is larger by nature (wider instructions and
# pointers) and only has to stay near it.
case $(file -b "$exe") in
    *x86-64*) objdump=x86_64-w64-mingw32-objdump limit=$((128 * 1024)) ;;
    *) objdump=i686-w64-mingw32-objdump limit=$((120 * 1024)) ;;
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
# The manifest asks for administrator rights, and the version resource names the product.
for text in requireAdministrator supportedOS; do
    grep -q "$text" "$exe" || { echo "the manifest lacks $text"; exit 1; }
done
LC_ALL=C grep -qaP 'P\x00r\x00o\x00d\x00u\x00c\x00t\x00N\x00a\x00m\x00e\x00\x00\x00+T\x00e\x00s\x00s\x00o\x00' "$exe" ||
    { echo "no version resource with the product name"; exit 1; }
