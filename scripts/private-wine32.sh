#!/bin/bash
# Runs the 32-bit Wine unpacked into build/wine32-root/ by scripts/with-wine32.sh as if wine32:i386
# were installed: its arguments are those of /usr/lib/wine/wine.
#
# The folder is entered with chroot. Wine then finds its loader, DLLs and libraries at the paths it
# was built for (started from another folder, it looks for kernel32.dll where the package installs
# it and fails), and its wineserver, which opens files by the Unix paths its clients send, sees the
# same files as they do: the machine's own wineserver, outside, cannot serve them. The chroot lives
# in a mount namespace of its own, so the folders bound into it go away with the last process that
# uses them, however the run ends, and the machine's mounts are never touched.
#
# Bound into it, each at its own path: /proc, /dev, /sys; /tmp (the X server's socket, and
# wineserver's sockets, so that `wineserver -k` outside ends a run inside); the repository (the
# prefixes, programs and screenshots of the build tree), $HOME, the working folder and the folders
# of WINEPREFIX and XAUTHORITY; and what an installed wine32:i386 would read of the machine: its
# users (Wine names the prefix's user folder after the user), time zone, fonts and their
# configuration, and compiled locales (locales-all serves every architecture).
#
# Needs root (chroot and mounts); with-wine32.sh only takes this route as root.
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
root=$repo/build/wine32-root
if [ ! -x "$root/usr/lib/wine/wine" ]; then
    echo "$0: no 32-bit Wine in $root (scripts/with-wine32.sh unpacks it there)" >&2
    exit 127
fi
# The folder holding a path, or its nearest existing parent: a prefix may not exist yet.
existing_folder() {
    local path=$1
    while [ ! -d "$path" ]; do path=$(dirname "$path"); done
    echo "$path"
}
binds=("$repo" "$PWD")
[ -n "${HOME:-}" ] && [ -d "$HOME" ] && binds+=("$HOME")
[ -n "${WINEPREFIX:-}" ] && binds+=("$(existing_folder "$(dirname "$(realpath -m "$WINEPREFIX")")")")
[ -n "${XAUTHORITY:-}" ] && [ -f "$XAUTHORITY" ] && binds+=("$(dirname "$(realpath "$XAUTHORITY")")")
for shared in /etc/passwd /etc/group /etc/localtime /usr/share/fonts /etc/fonts /usr/lib/locale; do
    [ -e "$shared" ] && binds+=("$shared")
done
# The tree's /usr/lib/wine/wineserver is a shell script choosing between wineserver32 and
# wineserver64; the tree has no shell, and wineserver32 is the one it has.
export WINESERVER=/usr/lib/wine/wineserver32
exec unshare --mount --propagation private /bin/bash -c '
    set -e
    root=$1 wd=$2 count=$3
    shift 3
    # Devices, processes and sysfs with what is mounted below them (/dev/pts, /dev/shm...).
    for system in /proc /dev /sys /tmp; do
        mkdir -p "$root$system"
        mount --rbind "$system" "$root$system"
    done
    for ((i = 0; i < count; i++)); do
        if [ -d "$1" ]; then
            [ "$1" = / ] || { mkdir -p "$root$1"; mount --bind "$1" "$root$1"; }
        else
            mkdir -p "$(dirname "$root$1")"
            [ -e "$root$1" ] || : >"$root$1"
            mount --bind "$1" "$root$1"
        fi
        shift
    done
    exec unshare --root="$root" --wd="$wd" /usr/lib/wine/wine "$@"
' private-wine32 "$root" "$PWD" ${#binds[@]} "${binds[@]}" "$@"
