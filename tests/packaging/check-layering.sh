#!/bin/bash
# Fails when a source file includes a header of a subsystem above its own. From the floor up: base
# (shared state, text and path helpers, the system's late-bound functions), glyphs, payload (the
# format of the carried files), landing (how a file lands safely: the file service, links, the work
# folder, journal, commit and recovery, access rights), install (what the install does), wizard,
# setup (the entry, which may include everything).
# usage: check-layering.sh <source folder>
set -eu
cd "$1/src"
level() {
    case "$1" in
    base) echo 0 ;; glyphs) echo 1 ;; payload) echo 2 ;; landing) echo 3 ;; install) echo 4 ;; wizard) echo 5 ;;
    setup) echo 6 ;;
    *) echo -1 ;;
    esac
}
bad=0
for file in */*.cpp */*.h; do
    own=$(level "${file%%/*}")
    while IFS= read -r included; do
        other=$(level "${included%%/*}")
        if [ "$other" -lt 0 ]; then
            continue  # a generated table, beside the build's payloads
        fi
        if [ "$other" -gt "$own" ]; then
            echo "$file includes $included, a subsystem above its own"
            bad=1
        fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done
[ $bad -eq 0 ] && echo "no include reaches up: $(ls */*.cpp */*.h | wc -l) files"
exit $bad
