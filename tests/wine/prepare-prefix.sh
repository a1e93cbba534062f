#!/bin/bash
# Creates the shared Wine prefix of the tests. Wine draws the window frames itself (no window
# manager runs on Xvfb), and gets its own fonts, which this Wine build does not find by itself
# (without Marlett the close box shows a letter).
set -eu
run="$(dirname "$0")/run-under-wine.sh"
"$run" "$1" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
cp -n /usr/share/wine/fonts/* "$1/drive_c/windows/Fonts/" 2>/dev/null || true
