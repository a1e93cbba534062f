#!/bin/bash
# Unpacks zlib's source from Debian's own source package into the folder given, once. The setup
# compiles it with its own flags: Debian's prebuilt mingw zlib targets the Pentium Pro and holds
# instructions that a Pentium lacks. The version is pinned and the .dsc checked against its
# SHA-256; dpkg-source then checks the tarballs against the .dsc.
# usage: fetch-zlib-source.sh <folder>   (prints the source folder)
set -eu
version=1:1.2.13.dfsg-1
dsc=zlib_1.2.13.dfsg-1.dsc
dsc_sha256=3fa1e6b2fc525062aa88207dda52fed8e045373c809d362fe8a2bfbf7cf515a8
dest=$1
source_dir=$dest/zlib-1.2.13.dfsg
if [ -f "$source_dir/inflate.c" ]; then
    echo "$source_dir"
    exit 0
fi
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
if ! apt-cache showsrc zlib 2>/dev/null | grep -q "^Version: $version\$"; then
    if ! grep -rqs '^Types: deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
        $sudo tee /etc/apt/sources.list.d/tesso-src.sources >/dev/null <<'LIST'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
LIST
    fi
    # One index failing (a mirror mid-sync) does not keep the source lists from being read.
    $sudo apt-get update -qq >&2 || true
fi
mkdir -p "$dest"
work=$(mktemp -d "$dest/fetch-XXXXXX")
(cd "$work" && apt-get source --download-only -qq "zlib=$version" >&2 2>/dev/null)
echo "$dsc_sha256  $work/$dsc" | sha256sum --check --quiet >&2
rm -rf "$source_dir"
dpkg-source -x "$work/$dsc" "$source_dir" >/dev/null
rm -rf "$work"
echo "$source_dir"
