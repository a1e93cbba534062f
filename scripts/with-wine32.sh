#!/bin/bash
# Runs a command with 32-bit Wine working wherever this machine can have it, and passes on its exit
# status.
#
# 32-bit Wine is Debian's wine32:i386 where it is installed. Where it is not, it often cannot be:
# Multi-Arch wants its i386 libraries at exactly the versions of the amd64 ones, which a mirror
# whose i386 index of a suite lags amd64 does not have, and forcing it may downgrade or remove amd64
# packages. Then the same wine32 package, at the version of the installed wine64, is unpacked with
# its i386 libraries into build/wine32-root/ and run from there (scripts/private-wine32.sh, which
# the command finds in TESSO_WINE32): apt resolves it for i386 alone, with lists, caches and an empty
# dpkg status of its own, so that no amd64 package constrains it, from the Debian suites of the
# machine's own apt sources. Nothing is installed on the machine. The folder is kept between runs,
# and made anew when wine64's version changes.
#
# Unpacking the packages was chosen over a minimal i386 Debian made with debootstrap and wine32
# installed in it: both are entered with chroot, but unpacking needs no further tool and runs no
# maintainer script (every one would run under qemu-i386 where the kernel runs no 32-bit code):
# about a minute cold against four and a half. The one maintainer step Wine needs is done here:
# libwine's postinst makes Wine's builtin zlib1.dll out of libz-mingw-w64's (without it user32.dll,
# and so every program, fails to load). It needs root, for chroot.
#
# Where the kernel runs 32-bit programs, the command simply runs. Where it does not (no IA32
# emulation; on some machines the processor faults on any 32-bit code segment, so no WoW64 Wine
# helps either), the 32-bit Wine processes run under Debian's qemu-i386: its static binary is taken
# from the qemu-user package of the machine's Debian release's backports suite, on the mirror the
# machine's own apt sources name (apt checks the package against the signed index), and kept in
# build/qemu-user/. It must be 10 or later: 7.2, bookworm's own, treats MAP_FIXED_NOREPLACE as a
# hint, and Wine then stops with "failed to map the shared user data: c0000018".
#
# While the command runs, qemu-i386 is registered with binfmt_misc for i386 ELF programs (flag F:
# the kernel opens the interpreter once, at registration, so that it serves inside the chroot too).
# The registration is machine-wide, every i386 program on the machine runs through qemu while it
# lasts, and binfmt handlers come before the kernel's own loader: so it is made only where 32-bit
# programs do not run, is named after this process, and is removed when the command ends, fails or
# is interrupted; a watchdog removes it if this script is killed outright, and a later run removes
# any whose process is gone. binfmt_misc is mounted when it is not (and left mounted, as systemd
# leaves it).
#
# Where none of this works (no registry, no binfmt_misc), it says why and runs the command anyway:
# the wine32.* tests then report themselves skipped.
#
# TESSO_FORCE_QEMU32=1 takes the emulated route even where the kernel runs 32-bit programs itself,
# to test that route on such a machine.
# usage: with-wine32.sh <command> [arguments...]
set -u
repo=$(cd "$(dirname "$0")/.." && pwd)
cache=$repo/build/qemu-user
root=$repo/build/wine32-root
wine32=/usr/lib/wine/wine
binfmt=/proc/sys/fs/binfmt_misc
entry_prefix=tesso-i386-
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

note() {
    echo "NOTE: no 32-bit Wine here: $*. (The wine32.* tests of the shipped setup report themselves skipped.)"
}

# An entry file removes its registration when -1 is written to it.
unregister() {
    [ -e "$1" ] && echo -1 | $sudo tee "$1" >/dev/null 2>&1
    return 0
}

remove_stale_entries() {
    local entry
    for entry in "$binfmt/$entry_prefix"*; do
        [ -e "$entry" ] && [ ! -d "/proc/${entry##*-}" ] && unregister "$entry"
    done
}

# Another run's registration may be what answers for the kernel: that run removes it when it ends.
runs_natively() {
    [ "${TESSO_FORCE_QEMU32:-0}" != 1 ] && ! compgen -G "$binfmt/$entry_prefix*" >/dev/null &&
        "$wine32" --version >/dev/null 2>&1
}

major_version() {
    "$1" --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\)\..*/\1/p'
}

# Sets apt: the options that give apt-get the sources in $1/sources.list, and lists, caches,
# preferences and an empty dpkg status of its own (and so locks of its own) in the folder $1: the
# machine's apt state stays as it was. Its configuration (proxies, for one) still applies. The
# Debian suites are signed with the archive's keys; apt's trusted keys serve where the keyring
# package's file is missing.
private_apt() {
    mkdir -p "$1/lists/partial" "$1/cache/archives/partial" "$1/empty"
    : >"$1/status"
    apt=(-qq -o "Dir::Etc::SourceList=$1/sources.list" -o "Dir::Etc::SourceParts=$1/empty"
        -o "Dir::Etc::Preferences=$1/empty/none" -o "Dir::Etc::PreferencesParts=$1/empty"
        -o "Dir::State::Lists=$1/lists" -o "Dir::Cache=$1/cache" -o "Dir::State::status=$1/status"
        -o Acquire::Languages=none -o APT::Sandbox::User="$(id -un)")
    local keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    signed=
    [ -r "$keyring" ] && signed=" signed-by=$keyring"
}

# The machine's own Debian sources, as apt reads them: "URI suite" lines, its release's first.
debian_sources() {
    apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Origin: Debian' 'Component: main' \
        'Identifier: Packages' 'Target-Of: deb' 2>/dev/null | sort -u | sort -s -k2,2
}

# Sets qemu, or reason on failure.
fetch_qemu() {
    qemu=$cache/qemu-i386
    local major
    major=$(major_version "$qemu")
    [ -s "$cache/qemu-i386.conf" ] && [ "${major:-0}" -ge 10 ] && return 0
    local codename arch mirror work
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    arch=$(dpkg --print-architecture)
    mirror=$(debian_sources | awk -v suite="$codename" '$2 == suite { print $1; exit }')
    if [ -z "$codename" ] || [ -z "$mirror" ]; then
        reason="this machine's apt sources name no Debian mirror for its release"
        return 1
    fi
    work=$(mktemp -d /tmp/tesso-qemu-user-XXXXXX)
    private_apt "$work"
    echo "deb [arch=$arch$signed] $mirror $codename-backports main" >"$work/sources.list"
    echo "Fetching qemu-i386 from $codename-backports (qemu-user) to run 32-bit Wine..."
    if ! apt-get "${apt[@]}" update 2>&1 || ! (cd "$work" && apt-get "${apt[@]}" download qemu-user 2>&1) ||
        ! dpkg-deb --fsys-tarfile "$work"/qemu-user_*.deb |
        tar -x -C "$work" ./usr/bin/qemu-i386 ./usr/share/qemu/binfmt.d/qemu-i386.conf; then
        rm -rf "$work"
        reason="qemu-user could not be fetched from $codename-backports"
        return 1
    fi
    major=$(major_version "$work/usr/bin/qemu-i386")
    if [ "${major:-0}" -lt 10 ]; then
        rm -rf "$work"
        reason="$codename-backports has qemu-user ${major:-?}, and 32-bit Wine needs 10 or later"
        return 1
    fi
    mkdir -p "$cache"
    cp "$work/usr/share/qemu/binfmt.d/qemu-i386.conf" "$cache/qemu-i386.conf"
    cp "$work/usr/bin/qemu-i386" "$qemu.new" && mv -f "$qemu.new" "$qemu"
    rm -rf "$work"
}

# Unpacks wine32:i386 at wine64's version ($1) and its i386 libraries into $root, made anew beside
# it and then put in its place. Sets reason on failure.
unpack_wine32() {
    local version=$1 work new
    work=$(mktemp -d /tmp/tesso-wine32-XXXXXX)
    new=$root.new
    private_apt "$work"
    debian_sources | while read -r uri suite; do
        echo "deb [arch=i386$signed] $uri $suite main"
    done >"$work/sources.list"
    if [ ! -s "$work/sources.list" ]; then
        rm -rf "$work"
        reason="this machine's apt sources name no Debian mirror"
        return 1
    fi
    # i386 as apt's only architecture: wine32 is then a package like any other, not a foreign one.
    apt+=(-o APT::Architecture=i386 -o APT::Architectures=i386)
    echo "Fetching 32-bit Wine $version (wine32:i386 and its libraries) into build/wine32-root..."
    # A suite whose i386 index is mid-sync fails here; apt leaves it out, and the others serve.
    apt-get "${apt[@]}" update 2>&1 || echo "NOTE: apt-get update reported errors; resolving from the lists it has"
    rm -rf "$new"
    mkdir -p "$new"
    if ! apt-get "${apt[@]}" install -y --download-only --no-install-recommends "wine32=$version" 2>&1; then
        reason="wine32:i386 $version could not be fetched from the machine's Debian sources"
    elif ! find "$work/cache/archives" -name '*.deb' -print0 | xargs -0 -P 2 -I {} dpkg-deb -x {} "$new" ||
        ! dpkg-deb --ctrl-tarfile "$work"/cache/archives/libwine_*.deb | tar -xO ./postinst >"$work/postinst"; then
        reason="the packages of wine32:i386 $version could not be unpacked"
    # libwine's postinst, its paths made relative to the tree.
    elif ! (cd "$new" && sed 's#/usr/#./usr/#g' "$work/postinst" | sh -s configure) ||
        [ ! -s "$new/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll" ]; then
        reason="Wine's zlib1.dll could not be made from libz-mingw-w64's"
    else
        # The libraries' cache, as the packages' ldconfig trigger would make it: fewer lookups.
        echo 'include /etc/ld.so.conf.d/*.conf' >"$new/etc/ld.so.conf"
        ldconfig -r "$new" 2>/dev/null
        echo "$version" >"$new/.tesso-wine32-version"
        rm -rf "$root" && mv "$new" "$root"
    fi
    rm -rf "$work" "$new"
    [ -z "$reason" ]
}

# Gives build/wine32-root/ the wine32 of the installed wine64's version. One run at a time makes
# it: another waits, and then finds it made. Sets reason on failure.
prepare_wine32() {
    local version lock status=0
    version=$(dpkg-query -W -f='${Version}' wine64 2>/dev/null)
    if [ -z "$version" ]; then
        reason="32-bit Wine is not installed (wine32:i386), nor wine64, whose version it must match"
        return 1
    fi
    if [ "$(id -u)" -ne 0 ]; then
        reason="32-bit Wine is not installed (wine32:i386), and running it from a folder of its own needs root (chroot)"
        return 1
    fi
    mkdir -p "$repo/build"
    exec {lock}>"$repo/build/wine32-root.lock"
    flock "$lock"
    [ "$(cat "$root/.tesso-wine32-version" 2>/dev/null)" = "$version" ] || unpack_wine32 "$version" || status=1
    exec {lock}>&-
    return $status
}

# Sets entry, or reason on failure. The magic and mask are the package's own (i386 executables and
# shared objects).
register_qemu() {
    if [ ! -e "$binfmt/register" ] && ! $sudo mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null; then
        reason="binfmt_misc is not available (it cannot be mounted here)"
        return 1
    fi
    if [ "$(cat "$binfmt/status" 2>/dev/null)" != enabled ]; then
        reason="binfmt_misc is disabled on this machine"
        return 1
    fi
    case $qemu in *:*)
        reason="the path of qemu-i386 holds a colon, which binfmt_misc cannot take"
        return 1
        ;;
    esac
    local type offset magic mask
    IFS=: read -r _ _ type offset magic mask _ <"$cache/qemu-i386.conf"
    entry=$binfmt/$entry_prefix$$
    if ! printf ':%s:%s:%s:%s:%s:%s:F\n' "${entry##*/}" "$type" "$offset" "$magic" "$mask" "$qemu" |
        $sudo tee "$binfmt/register" >/dev/null 2>&1; then
        reason="qemu-i386 could not be registered with binfmt_misc"
        return 1
    fi
    # Removes the registration should this script be killed outright (kill -9): a process of its
    # own session, so that a signal to this script's process group does not reach it.
    setsid $sudo sh -c 'while [ -d "/proc/$1" ]; do sleep 1; done; [ -e "$2" ] && echo -1 >"$2"' \
        watchdog $$ "$entry" </dev/null >/dev/null 2>&1 &
    if ! "$wine32" --version >/dev/null 2>&1; then
        unregister "$entry"
        reason="32-bit Wine does not start under qemu-i386"
        return 1
    fi
}

if [ $# -eq 0 ]; then
    echo "usage: $0 <command> [arguments...]" >&2
    exit 2
fi
[ -d "$binfmt" ] && remove_stale_entries
reason=
if [ ! -x "$wine32" ]; then
    if ! prepare_wine32; then
        note "$reason"
        exec "$@"
    fi
    wine32=$repo/scripts/private-wine32.sh
    export TESSO_WINE32=$wine32
fi
runs_natively && exec "$@"
if ! fetch_qemu || ! register_qemu; then
    if [ "${TESSO_FORCE_QEMU32:-0}" = 1 ]; then
        note "qemu-i386 was asked for (TESSO_FORCE_QEMU32=1), and $reason"
    else
        note "this machine does not run 32-bit programs itself, and $reason"
    fi
    exec "$@"
fi
echo "32-bit programs run under qemu-i386 ($(major_version "$qemu").x) while this command runs."

child=
descendants() {
    local process
    for process in $(pgrep -P "$1"); do
        echo "$process"
        descendants "$process"
    done
}
on_signal() {
    unregister "$entry"
    # The command and everything it started get the signal too (ctest leaves its tests running when
    # it gets one), and are ended if the command has not gone in 10 s.
    if [ -n "$child" ]; then
        local processes
        mapfile -t processes < <(descendants "$child")
        processes+=("$child")
        kill -"$1" "${processes[@]}" 2>/dev/null
        for _ in $(seq 20); do
            kill -0 "$child" 2>/dev/null || break
            sleep 0.5
        done
        kill -KILL "${processes[@]}" 2>/dev/null
    fi
    exit $((128 + $2))
}
trap 'unregister "$entry"' EXIT
trap 'on_signal INT 2' INT
trap 'on_signal TERM 15' TERM
trap 'on_signal HUP 1' HUP
# In the background so that a signal is handled at once rather than when the command ends; bash
# starts a background command with SIGINT and SIGQUIT ignored and its input from /dev/null, which
# Ctrl-C and an interactive command need undone.
env --default-signal=INT,QUIT "$@" 0<&0 &
child=$!
wait "$child"
status=$?
child=
exit $status
