#!/bin/bash
# Installs what is missing, builds the host tools and tests and both Windows executables, and runs
# every test: the native unit tests and the Windows tests under wine64 (on Xvfb without a display).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build
ctest --test-dir build --output-on-failure -j 2
