#!/bin/bash
# Runs one Windows program under wine64 in the given prefix, on the current display or on a
# private Xvfb, and always ends with the prefix's wineserver killed, so nothing can hang CI.
# usage: run-under-wine.sh <prefix folder> <program> [arguments...]
set -u
export WINEPREFIX=$1
shift
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=wineserver

xvfb_pid=
cleanup() {
    "$WINESERVER" -k >/dev/null 2>&1
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    return 0
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
    exec 3< <(Xvfb -displayfd 4 -screen 0 1024x768x24 -nolisten tcp 4>&1 2>/dev/null & echo "pid $!")
    read -r _ xvfb_pid <&3
    read -r display <&3
    export DISPLAY=":$display"
fi

"$WINE" "$@"
status=$?
exit $status
