#!/bin/bash
# Runs the install benchmark natively and under wine64 and prints each ratio of the whole install
# to its floor (inflate every payload into one buffer and write it with plain stdio).
# usage: bench/run-bench.sh [build folder]   (after scripts/test-all.sh or a build)
set -eu
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
cmake --build "$build" --target bench_install_native wintests_x86_64 >/dev/null
work=$(mktemp -d /tmp/tesso-bench-XXXXXX)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
mkdir -p "$work/native-floor" "$work/native-install" "$work/wine-floor" "$work/wine-install"
echo "native:  $("$build/bench_install_native" "$work/native-floor" "$work/native-install")"
wine_work="Z:${work//\//\\}"
echo "wine64:  $(tests/wine/run-under-wine.sh "$build/wine-prefix" "$build/win-x86_64-tests/bench_install.exe" \
    "$wine_work\\wine-floor" "$wine_work\\wine-install" 2>/dev/null)"
