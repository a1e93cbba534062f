#!/bin/bash
# Fails when a C++ file of the repository is not formatted as .clang-format says.
# usage: check-format.sh <source folder>
set -eu
cd "$1"
files=$(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run --Werror $files; then
    echo "run: git ls-files '*.cpp' '*.h' | xargs clang-format -i"
    exit 1
fi
echo "$(echo "$files" | wc -l) files formatted"
