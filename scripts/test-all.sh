#!/bin/bash
# Installs what is missing, builds the host tools and tests, both shipped Windows executables and
# the Windows-side test programs, and runs every test: the native unit tests, the Windows tests
# under wine64 and the shipped 32-bit setup under 32-bit Wine (on Xvfb without a display). Where
# wine32:i386 cannot be installed, a private copy of it runs from build/wine32-root, and where this
# machine runs no 32-bit code, 32-bit Wine runs under qemu-i386 for the duration of the tests
# (scripts/with-wine32.sh).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build
exec scripts/with-wine32.sh ctest --test-dir build --output-on-failure -j 2
