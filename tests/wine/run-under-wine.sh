#!/bin/bash
# Runs one Windows program under Wine in the given prefix, on the current display or on a private
# Xvfb (always one for the tests, see TESSO_PRIVATE_SCREEN below), and always ends with the prefix's wineserver killed, so nothing can hang CI.
# usage: run-under-wine.sh [--win32] [--windows-version V] <prefix folder> <program> [arguments...]
#   --win32               32-bit Wine in a 32-bit prefix (for the shipped 32-bit setup): the command
#                         in TESSO_WINE32, else wine32:i386's loader (scripts/with-wine32.sh sets it
#                         where it runs a private copy). Where this machine cannot run 32-bit code,
#                         says so and exits 77 (ctest: skipped).
#   --windows-version V   TessoSetup.exe sees Windows version V (win98, nt40, winxp, ...); the test
#                         program itself keeps the prefix's version.
set -u
wine=/usr/lib/wine/wine64
arch=win64
version=
while [ $# -gt 0 ]; do
    case $1 in
        --win32) wine=${TESSO_WINE32:-/usr/lib/wine/wine}; arch=win32; shift ;;
        --windows-version) version=$2; shift 2 ;;
        *) break ;;
    esac
done
export WINEPREFIX=$1
shift
export WINEARCH=$arch
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"winemenubuilder.exe=d;mscoree=d;mshtml=d"}
# The machine's wineserver also ends a 32-bit prefix's server, a private copy's included: it finds
# it by the prefix's server socket under /tmp, and both are the same Wine version.
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=wineserver

if [ "$arch" = win32 ]; then
    # The 32-bit loader is an i386 program: it fails to start where the kernel runs no 32-bit code.
    if [ ! -x "$wine" ]; then
        echo "SKIPPED: 32-bit Wine is not installed (wine32:i386; scripts/with-wine32.sh runs a private copy"
        echo "         where it cannot be)"
        exit 77
    fi
    if ! "$wine" --version >/dev/null 2>&1; then
        echo "SKIPPED: this machine does not run 32-bit programs (IA32 emulation is off; scripts/test-all.sh"
        echo "         runs them under qemu-i386 where it can fetch and register it, see scripts/with-wine32.sh)"
        exit 77
    fi
fi

# A scratch folder of the run's own on the prefix's C: drive (the test programs' FreshFolder makes
# its folders there), removed with every install in it once the run ends: a full test command made
# hundreds of 64 MB installs and kept them all. Not while the prefix is being made.
scratch=
if [ -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX/drive_c/t"
    scratch=$(mktemp -d "$WINEPREFIX/drive_c/t/XXXXXX")
    export TESSO_TEST_TEMP="C:\\t\\${scratch##*/}"
fi

xvfb_pid=
cleanup() {
    WINEPREFIX=$WINEPREFIX "$wineserver" -k >/dev/null 2>&1
    # Protected files are read-only as Unix write bits: given back first, for a run by a user.
    [ -n "$scratch" ] && { chmod -R u+w "$scratch" 2>/dev/null; rm -rf "$scratch"; }
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    return 0
}
trap cleanup EXIT

# TESSO_PRIVATE_SCREEN=1 (the test runs set it): a private Xvfb even where a display is set, since
# the driver's real input would otherwise reach whichever test's window is in front.
if [ -z "${DISPLAY:-}" ] || [ "${TESSO_PRIVATE_SCREEN:-0}" = 1 ]; then
    exec 3< <(Xvfb -displayfd 4 -screen 0 "${TESSO_SCREEN:-1024x768x24}" -nolisten tcp 4>&1 2>/dev/null & echo "pid $!")
    read -r _ xvfb_pid <&3
    read -r display <&3
    export DISPLAY=":$display"
fi

if [ -n "$version" ]; then
    "$wine" reg add 'HKCU\Software\Wine\AppDefaults\TessoSetup.exe' /v Version /d "$version" /f >/dev/null 2>&1
fi
"$wine" "$@"
status=$?
exit $status
