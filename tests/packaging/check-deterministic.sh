#!/bin/bash
# Makes the payloads a second time and compares every packed stream with the build's: the same
# inputs must give the same bytes.
set -eu
make_payloads=$1 tsv=$2 texts=$3 unifont=$4 overrides=$5 built=$6
again=$(mktemp -d /tmp/tesso-payloads-XXXXXX)
trap 'rm -rf "$again"' EXIT
"$make_payloads" "$tsv" "$texts" "$unifont" "$overrides" "$again" 2>/dev/null
count=0
for stream in "$built"/*.z; do
    cmp -s "$stream" "$again/$(basename "$stream")" || { echo "differs: $(basename "$stream")"; exit 1; }
    count=$((count + 1))
done
echo "$count packed streams identical"
