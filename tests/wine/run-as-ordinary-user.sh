#!/bin/bash
# Runs Windows test programs under Wine as an ordinary user (nobody), in a fresh prefix and home of
# that user's own, so that Wine's read-only attribute (the Unix write bits) really holds: root may
# write any file, so a run as root cannot tell whether protection is lifted before a file is
# opened. Run by an ordinary user, the programs run as that user.
# usage: run-as-ordinary-user.sh <prefix folder> <program> [<program>...]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1
shift
rm -rf "$prefix" "$prefix.home"
mkdir -p "$prefix" "$prefix.home"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    # Wine refuses a prefix that its user does not own.
    chown 65534:65534 "$prefix" "$prefix.home"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
# Its own Xvfb: the caller's display may not admit another user.
run=("${as_user[@]}" env -u DISPLAY HOME="$prefix.home" TESSO_SCREENSHOTS="$prefix.home")
"${run[@]}" "$here/prepare-prefix.sh" "$prefix" >/dev/null
# The prefix (1.5 GB, its own copy of Wine's files) goes when the run ends; its home keeps the
# screenshots.
trap 'chmod -R u+w "$prefix" 2>/dev/null; rm -rf "$prefix"' EXIT
for program in "$@"; do
    "${run[@]}" "$here/run-under-wine.sh" "$prefix" "$program" --gtest_brief=1
done
