#!/bin/bash
# Installs what is missing, builds the host tools and tests, both shipped Windows executables and
# the Windows-side test programs, and runs every test: the native unit tests, the Windows tests
# under wine64 and, where this machine runs 32-bit code, the shipped 32-bit setup under 32-bit Wine
# (on Xvfb without a display).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "NOTE: this machine does not run 32-bit programs; the wine32.* tests of the shipped 32-bit"
    echo "      setup are reported as skipped (its imports and instructions are still checked)."
fi
ctest --test-dir build --output-on-failure -j 2
