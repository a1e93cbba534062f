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
    wine wine64 xvfb unifont locales-all clang-format util-linux osslsigncode openssl
)
# Only the wine32.* tests need it. It is installed only where that replaces and removes nothing:
# where its i386 libraries cannot be had at the versions of the amd64 ones (a mirror whose i386
# index lags amd64), scripts/with-wine32.sh runs a private copy of it instead.
packages32=(wine32:i386)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
added_architecture=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
    added_architecture=1
fi
missing_among() {
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || echo "$package"
    done
}
mapfile -t missing < <(missing_among "${packages[@]}")
mapfile -t missing32 < <(missing_among "${packages32[@]}")
if [ ${#missing[@]} -gt 0 ] || [ ${#missing32[@]} -gt 0 ] || [ $added_architecture -eq 1 ]; then
    echo "Installing: ${missing[*]} ${missing32[*]}"
    # A mirror caught mid-sync fails one index; the others still serve, so the install is tried anyway.
    $sudo apt-get update -qq || echo "NOTE: apt-get update reported errors; installing from the lists it has"
    [ ${#missing[@]} -eq 0 ] || DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
    # apt would otherwise upgrade or downgrade amd64 libraries to the i386 versions it found, or
    # remove what conflicts: a simulation first ("Inst name [old version]" replaces a package).
    if [ ${#missing32[@]} -gt 0 ]; then
        if ! plan=$(apt-get install -s -qq "${missing32[@]}" 2>&1); then
            echo "NOTE: ${missing32[*]} cannot be installed here; scripts/with-wine32.sh runs a private copy"
        elif grep -Eq '^(Remv |Inst [^ ]+ \[)' <<<"$plan"; then
            echo "NOTE: ${missing32[*]} would replace or remove installed packages, so it is not installed;"
            echo "      scripts/with-wine32.sh runs a private copy"
        elif ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing32[@]}"; then
            echo "NOTE: ${missing32[*]} could not be installed; scripts/with-wine32.sh runs a private copy"
        fi
    fi
fi
