#!/bin/bash
# Installs what building and testing the setup needs on a fresh Debian machine. Safe to run again:
# it calls apt-get only when a package is missing.
set -eu
packages=(
    cmake ninja-build g++ file zlib1g-dev googletest libgtest-dev
    mingw-w64 gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix gcc-mingw-w64-i686-posix
    g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 libz-mingw-w64-dev
    wine wine64 xvfb unifont locales-all
)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
