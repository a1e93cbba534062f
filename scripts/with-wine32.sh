#!/bin/bash
# Runs a command with 32-bit Wine working wherever this machine can have it, and passes on its exit
# status.
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
# the kernel opens the interpreter once, at registration). The registration is machine-wide, every
# i386 program on the machine runs through qemu while it lasts, and binfmt handlers come before the
# kernel's own loader: so it is made only where 32-bit programs do not run, is named after this
# process, and is removed when the command ends, fails or is interrupted; a watchdog removes it if
# this script is killed outright, and a later run removes any whose process is gone. binfmt_misc is
# mounted when it is not (and left mounted, as systemd leaves it).
#
# Where none of this works (32-bit Wine not installed, no registry, no binfmt_misc), it says why and
# runs the command anyway: the wine32.* tests then report themselves skipped.
#
# TESSO_FORCE_QEMU32=1 takes the emulated route even where the kernel runs 32-bit programs itself,
# to test that route on such a machine.
# usage: with-wine32.sh <command> [arguments...]
set -u
repo=$(cd "$(dirname "$0")/.." && pwd)
cache=$repo/build/qemu-user
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

# Sets qemu, or reason on failure.
fetch_qemu() {
    qemu=$cache/qemu-i386
    local major
    major=$(major_version "$qemu")
    [ -s "$cache/qemu-i386.conf" ] && [ "${major:-0}" -ge 10 ] && return 0
    local codename arch mirror keyring signed work
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    arch=$(dpkg --print-architecture)
    # The machine's own Debian source for its release, as apt reads it from its sources.
    mirror=$(apt-get indextargets --format '$(REPO_URI)' "Release: $codename" 'Origin: Debian' \
        'Component: main' 'Identifier: Packages' 'Target-Of: deb' 2>/dev/null | head -n 1)
    if [ -z "$codename" ] || [ -z "$mirror" ]; then
        reason="this machine's apt sources name no Debian mirror for its release"
        return 1
    fi
    # The backports suite is signed with the archive's keys; apt's trusted keys serve where the
    # keyring package's file is missing.
    keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    [ -r "$keyring" ] && signed=" signed-by=$keyring" || signed=
    work=$(mktemp -d /tmp/tesso-qemu-user-XXXXXX)
    mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/empty"
    echo "deb [arch=$arch$signed] $mirror $codename-backports main" >"$work/sources.list"
    # Private sources, lists, preferences and caches: the machine's apt state stays as it was. Its
    # configuration (proxies, for one) still applies.
    local apt=(-qq -o "Dir::Etc::SourceList=$work/sources.list" -o "Dir::Etc::SourceParts=$work/empty"
        -o "Dir::Etc::Preferences=$work/empty/none" -o "Dir::Etc::PreferencesParts=$work/empty"
        -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache" -o Acquire::Languages=none
        -o APT::Sandbox::User="$(id -un)")
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
if [ ! -x "$wine32" ]; then
    note "32-bit Wine is not installed (wine32:i386)"
    exec "$@"
fi
runs_natively && exec "$@"
reason=
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
