#!/bin/bash
# Runs a command with a folder that another Unix user owns, named (as Wine's Z: drive shows it) in
# TESSO_FOREIGN_FOLDER; Wine reports such a folder's owner as a SID other than the user's. Only root
# can give a folder away: otherwise the variable stays unset and the test that needs it says it is
# skipped. The folder is removed afterwards.
# usage: with-foreign-folder.sh <prefix> <command> [arguments...]
set -u
folder=$1-foreign-owner
shift
rm -rf "$folder"
mkdir -p "$folder"
if [ "$(id -u)" = 0 ] && chown 65534:65534 "$folder"; then
    export TESSO_FOREIGN_FOLDER="Z:${folder//\//\\}"
else
    echo "no foreign folder: only root can give a folder to another user"
fi
"$@"
status=$?
rm -rf "$folder"
exit $status
