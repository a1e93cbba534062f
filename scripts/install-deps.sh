#!/bin/bash
# Installs what building and testing the setup needs on a fresh Debian machine. Safe to run again:
# it calls apt-get only when a package is missing. 32-bit Wine (wine32:i386) runs the shipped
# 32-bit setup; it needs Debian's i386 architecture, added here when missing.
set -eu
packages=(
    cmake ninja-build g++ file zlib1g-dev libzopfli-dev googletest libgtest-dev dpkg-dev bzip2 xz-utils
    mingw-w64 gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix gcc-mingw-w64-i686-posix
    g++-mingw-w64-i686-posix gcc-mingw-w64-x86-64-win32 g++-mingw-w64-x86-64-win32
    gcc-mingw-w64-i686-win32 g++-mingw-w64-i686-win32 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
    wine wine64 wine32:i386 xvfb unifont locales-all clang-format util-linux
)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
added_architecture=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
    added_architecture=1
fi
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ] || [ $added_architecture -eq 1 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    [ ${#missing[@]} -eq 0 ] || DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
