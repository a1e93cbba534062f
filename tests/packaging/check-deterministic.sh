#!/bin/bash
# Makes the payloads a second time and compares every packed stream, the catalogue and the table of
# stream checks with the build's: the same inputs must give the same bytes. The exes named after them must carry no link time in their PE
# header, the one field ld would make differ from build to build.
# usage: check-deterministic.sh <make_payloads> <tsv> <texts> <unifont> <overrides> <built payloads> [exe...]
set -eu
make_payloads=$1 tsv=$2 texts=$3 unifont=$4 overrides=$5 built=$6
shift 6
for exe in "$@"; do
    pe=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
    stamp=$(od -An -tu4 -j$((pe + 8)) -N4 "$exe" | tr -d ' ')
    [ "$stamp" -eq 0 ] || { echo "$exe carries its link time ($stamp) in its PE header"; exit 1; }
done
again=$(mktemp -d /tmp/tesso-payloads-XXXXXX)
trap 'rm -rf "$again"' EXIT
"$make_payloads" "$tsv" "$texts" "$unifont" "$overrides" "$again" 2>/dev/null
count=0
for stream in "$built"/*.z; do
    cmp -s "$stream" "$again/$(basename "$stream")" || { echo "differs: $(basename "$stream")"; exit 1; }
    count=$((count + 1))
done
for table in payloads.pack payload_catalogue_table.inc payload_checks.inc; do
    cmp -s "$built/$table" "$again/$table" || { echo "differs: $table"; exit 1; }
done
echo "$count packed streams, their pack and both tables identical"
