#!/bin/bash
# Fails when the executable imports a function that the allow-list does not name for its DLL: the
# setup must load on Windows 95 and NT 4.0, and Wine offers every function whatever Windows it
# imitates, so only the import table tells.
# usage: check-imports.sh <exe> <allowed-imports.txt>
set -eu
exe=$1
list=$2
case $(file -b "$exe") in *x86-64*) arch=x86_64 ;; *) arch=i686 ;; esac
imports=$($arch-w64-mingw32-objdump -p "$exe" |
    awk '/DLL Name:/ { dll = tolower($3) } /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print dll, $3 }' | sort -u)
[ -n "$imports" ] || { echo "no imports found in $exe"; exit 1; }
allowed=$(sed -n -e '/^#/d' -e '/^$/d' -e "s/^$arch: //p" -e '/^[a-z0-9_]*\.dll /p' "$list" | sort -u)
unlisted=$(comm -23 <(echo "$imports") <(echo "$allowed"))
echo "$(echo "$imports" | wc -l) imports from: $(echo "$imports" | cut -d' ' -f1 | uniq | tr '\n' ' ')"
if [ -n "$unlisted" ]; then
    echo "imports not on the allow-list:"
    echo "$unlisted"
    exit 1
fi
# Windows 95 and NT 4.0 refuse an image that asks for a later system or subsystem (the 64-bit twin
# runs only on 64-bit Windows, which takes 5.2).
[ $arch = i686 ] || exit 0
for field in MajorOSystemVersion MajorSubsystemVersion; do
    value=$($arch-w64-mingw32-objdump -p "$exe" | awk -v f=$field '$1 == f { print $2 }')
    [ "$value" -le 4 ] || { echo "$field is $value: Windows 95 and NT 4.0 would refuse the exe"; exit 1; }
done
