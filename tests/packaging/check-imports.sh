#!/bin/bash
# Fails when the executable imports any DLL outside the system's own set.
set -eu
exe=$1
case $(file -b "$exe") in *x86-64*) objdump=x86_64-w64-mingw32-objdump ;; *) objdump=i686-w64-mingw32-objdump ;; esac
allowed="kernel32.dll user32.dll gdi32.dll comdlg32.dll comctl32.dll shell32.dll ole32.dll advapi32.dll msvcrt.dll"
imports=$($objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$imports" ] || { echo "no imports found in $exe"; exit 1; }
status=0
for dll in $imports; do
    case " $allowed " in
        *" $dll "*) echo "ok: $dll" ;;
        *) echo "not a system DLL: $dll"; status=1 ;;
    esac
done
exit $status
