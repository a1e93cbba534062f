#!/bin/bash
# Builds the setup and runs it in Wine. With a display, the real wizard opens for you to click
# through. Without one, the wizard is walked through a whole install on a private Xvfb in a fresh
# Wine prefix, and a screenshot of every page, message box and the result is saved.
set -eu
cd "$(dirname "$0")/.."
if [ "${1:-}" != --built ]; then
    scripts/install-deps.sh
    cmake -S . -B build -G Ninja >/dev/null
    cmake --build build
    # The run itself, with 32-bit Wine made to work where wine32:i386 is not installed or the kernel
    # runs no 32-bit code.
    exec scripts/with-wine32.sh scripts/build-and-run.sh --built
fi
# The shipped setup is the 32-bit one; where even scripts/with-wine32.sh gets no 32-bit Wine to
# run, its 64-bit twin (same sources, same flags) stands in.
if "${TESSO_WINE32:-/usr/lib/wine/wine}" --version >/dev/null 2>&1; then
    arch=(--win32) setup=$PWD/build/win-i686/TessoSetup.exe tests=$PWD/build/win-i686-tests
else
    echo "No 32-bit Wine here: running the 64-bit twin of the setup."
    arch=() setup=$PWD/build/win-x86_64/TessoSetup.exe tests=$PWD/build/win-x86_64-tests
fi
if [ -n "${DISPLAY:-}" ]; then
    prefix=$PWD/build/run-prefix-${#arch[@]}
    tests/wine/prepare-prefix.sh "${arch[@]}" "$prefix" >/dev/null 2>&1
    exec tests/wine/run-under-wine.sh "${arch[@]}" "$prefix" "$setup"
fi
prefix=$(mktemp -d /tmp/tesso-run-XXXXXX)
shots=$PWD/build/walkthrough
rm -rf "$shots" && mkdir -p "$shots"
tests/wine/prepare-prefix.sh "${arch[@]}" "$prefix" >/dev/null 2>&1
TESSO_SETUP_EXE=$setup TESSO_SCREENSHOTS=$shots LC_ALL=${LC_ALL:-en_US.UTF-8} \
    tests/wine/run-under-wine.sh "${arch[@]}" "$prefix" "$tests/wizard_walkthrough.exe" 2>/dev/null
rm -rf "$prefix"
echo "Screenshots of the whole install: $shots"
ls "$shots"
