#!/bin/bash
# Runs the host tests again as an ordinary user (nobody), for whom read-only files really are
# read-only, when the suite itself runs as root. An ordinary user's run is that already.
# usage: run-unprivileged.sh <test program>
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIPPED: the suite already runs as an ordinary user"
    exit 77
fi
exec setpriv --reuid=65534 --regid=65534 --clear-groups "$1" --gtest_brief=1
