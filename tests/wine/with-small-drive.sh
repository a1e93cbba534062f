#!/bin/bash
# Runs a command with an 8 MB tmpfs mapped as drive T: of the Wine prefix and its name in
# TESSO_SMALL_DRIVE, where this machine allows mounting; otherwise runs it without (the test that
# needs the drive then reports itself skipped). The drive is removed afterwards.
# usage: with-small-drive.sh <prefix> <command> [arguments...]
set -u
prefix=$1
shift
mountpoint=$prefix-small-drive
mkdir -p "$mountpoint"
mounted=0
if mount -t tmpfs -o size=8m tesso-small "$mountpoint" 2>/dev/null; then
    mounted=1
    ln -sfn "$mountpoint" "$prefix/dosdevices/t:"
    export TESSO_SMALL_DRIVE=T:
else
    echo "no small drive: this machine does not allow mounting a tmpfs"
fi
"$@"
status=$?
if [ $mounted -eq 1 ]; then
    rm -f "$prefix/dosdevices/t:"
    umount "$mountpoint"
fi
rmdir "$mountpoint" 2>/dev/null
exit $status
