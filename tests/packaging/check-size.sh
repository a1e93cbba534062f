#!/bin/bash
# Fails when the setup's own part (exe size less the packed payload streams) passes its limit, or when
# the exe still carries symbols or debug sections, or lacks its manifest or version resource.
# Prints the figure.
# usage: check-size.sh <exe> <payload folder with the packed *.z streams>
set -eu
exe=$1
# The shipped 32-bit exe: 108 KiB, on the way back to 96. The whole-or-nothing install (staged files,
# the journal, the recovery's own work folder with its rights, lock and commit record, the checks of
# every name, Wine's link check, the refused session end) took it to 116,710 bytes under a cap of
# 120 KiB. Five 4-KiB pages that held no code came out: a .data page for one initialised flag (every
# such flag is zero-initialised now, in .bss), the icon at 32 bits a pixel (4 now: it has three
# colours), a resource directory entry for each of the 122 payload streams (now one resource holding
# them all, each found by the sizes in the table of checks and still checked by its CRC-32), the
# manifest's comments (now in resources/setup_exe.rc) and install steps of 16 bytes a row (6 now).
# Two pages of code went back in: staging on two threads, NT 4.0's inheritance, the forced end of the
# session, the Restart Manager's name of a program that holds a file, unelevated runs and the
# folder-name rules. The commit on one open per file (rename and delete by handle, the placed files'
# check, the way out without the journal, the messages of each cause) needed a sixteenth page of
# code and paid for it: -Oz and no frame pointer or 16-byte stack realignment for the setup's own
# code, the messages that name nothing in one table and the named ones through one body, and the
# glyph font and licence inflated raw, without zlib's uncompress. What is left to reach 96 KiB:
# 512-byte file alignment (about five KiB of padding; it would have the 28 MB image read rather
# than mapped at start-up, slow on the old machines) and the code itself.
# The sections stay 4-KiB aligned in the file (cmake/shipping-flags.cmake), so the figure moves a
# page at a time. The 64-bit twin's code is larger by nature (wider instructions and pointers) and
# only has to stay near it.
case $(file -b "$exe") in
    *x86-64*) objdump=x86_64-w64-mingw32-objdump limit=$((128 * 1024)) ;;
    *) objdump=i686-w64-mingw32-objdump limit=$((108 * 1024)) ;;
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
