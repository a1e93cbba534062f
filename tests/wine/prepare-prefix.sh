#!/bin/bash
# Creates a Wine prefix for the tests. Wine draws the window frames itself (no window manager runs
# on Xvfb), and gets its own fonts, which this Wine build does not find by itself (without Marlett
# the close box shows a letter). The user folders that Wine links to $HOME (Desktop, Documents...)
# become real folders inside the prefix, so that nothing a test does lands outside the build tree.
# --high-contrast gives the prefix a black high-contrast colour scheme, --large-fonts 120 DPI.
# usage: prepare-prefix.sh [--win32] [--high-contrast | --large-fonts] <prefix folder>
set -eu
run="$(dirname "$0")/run-under-wine.sh"
options=()
contrast=0
[ "$1" = --win32 ] && { options=(--win32); shift; }
[ "$1" = --high-contrast ] && { contrast=1; shift; }
large=0
[ "$1" = --large-fonts ] && { large=1; shift; }
prefix=$1
set +e
"$run" "${options[@]}" "$prefix" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
status=$?
set -e
[ $status -eq 0 ] || exit $status
cp -n /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
for link in "$prefix"/drive_c/users/*/*; do
    if [ -L "$link" ]; then
        rm "$link"
        mkdir -p "$link"
    fi
done
if [ $contrast -eq 1 ]; then
    colors=(ButtonFace "0 0 0" ButtonText "255 255 255" Window "0 0 0" WindowText "255 255 255"
        Hilight "0 0 255" HilightText "255 255 255" Background "0 0 0" GrayText "0 255 0"
        ButtonShadow "128 128 128" ButtonHilight "255 255 255" ButtonLight "192 192 192"
        ButtonDkShadow "255 255 255" WindowFrame "255 255 255" Menu "0 0 0" MenuText "255 255 255")
    arguments=()
    for ((i = 0; i < ${#colors[@]}; i += 2)); do
        "$run" "$prefix" reg add 'HKCU\Control Panel\Colors' /v "${colors[i]}" /d "${colors[i + 1]}" /f >/dev/null
    done
fi
if [ $large -eq 1 ]; then
    "$run" "$prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 120 /f >/dev/null
fi
# The system folders of every prefix hold the same Wine files (some 1.2 GB in a 64-bit prefix): each
# is kept once on disk, linked into the build tree's other prefixes of the same owner. Nothing
# writes them once a prefix is made (the setup and the tests write their own folders and the
# registry, which Wine saves to a new file).
if command -v hardlink >/dev/null 2>&1; then
    system=()
    for other in "$(dirname "$prefix")"/wine-prefix*; do
        [ -O "$other" ] && [ -f "$other/system.reg" ] || continue
        for folder in system32 syswow64; do
            [ -d "$other/drive_c/windows/$folder" ] && system+=("$other/drive_c/windows/$folder")
        done
    done
    hardlink --quiet --ignore-time --respect-name --respect-xattrs "${system[@]}" || true
fi
