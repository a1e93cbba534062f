#!/bin/bash
# Creates the shared Wine prefix of the tests. Wine draws the window frames itself (no window
# manager runs on Xvfb), so screenshots show the caption bars.
set -eu
run="$(dirname "$0")/run-under-wine.sh"
"$run" "$1" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
