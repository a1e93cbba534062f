#!/bin/bash
# Creates a Wine prefix for the tests. Wine draws the window frames itself (no window manager runs
# on Xvfb), and gets its own fonts, which this Wine build does not find by itself (without Marlett
# the close box shows a letter). The user folders that Wine links to $HOME (Desktop, Documents...)
# become real folders inside the prefix, so that nothing a test does lands outside the build tree.
# usage: prepare-prefix.sh [--win32] <prefix folder>
set -eu
run="$(dirname "$0")/run-under-wine.sh"
options=()
[ "$1" = --win32 ] && { options=(--win32); shift; }
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
