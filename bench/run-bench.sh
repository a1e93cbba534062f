#!/bin/bash
# The install benchmark, after a build (scripts/test-all.sh or scripts/build-and-run.sh):
#  1. natively and under wine64: the whole install against its floor (one inflate of every payload
#     into one buffer plus plain stdio writes) in one run, on the NT path (the one start-up takes
#     under wine64) and on the 95 path, reported apart; the integrity check of the packed streams,
#     and under Wine the install's peak private memory;
#  2. side by side with a general installer: NSIS (Debian's nsis package) installing the same 116
#     files in the same order with the same attributes (zlib, silent), built here from a generated
#     script, and our install on each path, in rotating order in the same Wine prefix; the span
#     from the first to the last file written, from the files' own times, best of each;
#  3. the time to a visible wizard against a bare dialog program started the same way;
#  4. the longest time the wizard leaves a message unanswered during an install and its wait.
# usage: bench/run-bench.sh [build folder]
set -eu
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
command -v makensis >/dev/null || {
    echo "Installing nsis for the side-by-side benchmark"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq nsis >/dev/null
}
# The benchmark's programs are outside the default build (no test runs them).
cmake --build "$build" --target bench_install_native wintests_x86_64 >/dev/null
cmake --build "$build/win-x86_64-tests" --target bench_install time_to_window longest_wait bare_dialog >/dev/null
prefix=$build/wine-prefix
[ -d "$prefix/drive_c" ] || tests/wine/prepare-prefix.sh "$prefix" >/dev/null 2>&1
tests=$build/win-x86_64-tests
work=$(mktemp -d /tmp/tesso-bench-XXXXXX)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
wine_path() { local p="Z:$1"; echo "${p//\//\\}"; }
run_wine() { tests/wine/run-under-wine.sh "$prefix" "$@" 2>/dev/null; }

mkdir -p "$work/native-floor" "$work/native-install" "$work/wine-floor" "$work/wine-install"
echo "native:  $("$build/bench_install_native" "$work/native-floor" "$work/native-install")" | sed '2,$s/^/         /'
run_wine "$tests/bench_install.exe" "$(wine_path "$work/wine-floor")" "$(wine_path "$work/wine-install")" |
    sed '1s/^/wine64:  /; 2,$s/^/         /'

# The peer, from the same files.
mkdir -p "$work/unpacked"
"$build/bench_install_native" unpack "$work/unpacked"
"$build/bench_install_native" nsis "$work/unpacked" >"$work/peer.nsi"
(cd "$work" && makensis -V1 peer.nsi >/dev/null)
span() {  # seconds from the first to the last of the 116 files written
    find "$1" -maxdepth 1 -type f ! -name '*.lnk' -printf '%T@\n' | sort -n | awk 'NR == 1 { first = $1 } { last = $1 } END { printf "%.3f", last - first }'
}
# Ours on the NT path (start-up's choice under wine64), ours on the 95 path and the peer, in
# rotating order; the best of each.
best_nt=999 best_95=999 best_peer=999
best() { echo "$1 $2" | awk '{ print ($1 < $2) ? $1 : $2 }'; }
for round in 1 2 3; do
    for turn in 0 1 2; do
        case $(((round + turn) % 3)) in
        0)
            rm -rf "$work/ours" && mkdir "$work/ours"
            run_wine "$tests/bench_install.exe" once "$(wine_path "$work/ours")" nt >/dev/null
            best_nt=$(best "$(span "$work/ours")" $best_nt) ;;
        1)
            rm -rf "$work/ours" && mkdir "$work/ours"
            run_wine "$tests/bench_install.exe" once "$(wine_path "$work/ours")" 95 >/dev/null
            best_95=$(best "$(span "$work/ours")" $best_95) ;;
        *)
            rm -rf "$work/peer" && mkdir "$work/peer"
            run_wine "$work/peer.exe" /S "/D=$(wine_path "$work/peer")" >/dev/null
            best_peer=$(best "$(span "$work/peer")" $best_peer) ;;
        esac
    done
done
[ "$(find "$work/peer" -maxdepth 1 -type f | wc -l)" -eq 116 ] || { echo "the peer did not install 116 files"; exit 1; }
for path in nt 95; do
    eval "ours=\$best_$path"
    echo "side by side under wine64, span of the 116 files, ${path/nt/NT} path: ours $ours s, NSIS $best_peer s," \
        "ratio $(echo "$ours $best_peer" | awk '{ printf "%.2f", $1 / $2 }') (goal 0.30 or below)"
done

run_wine "$tests/time_to_window.exe" "$(wine_path "$build/win-x86_64/TessoSetup.exe")" \
    "Tessovar Chinese Input Engine Installer" "$(wine_path "$tests/bare_dialog.exe")" "Bare dialog" 20 |
    sed 's/^/wine64:  /'
run_wine "$tests/longest_wait.exe" "$(wine_path "$build/win-x86_64/TessoSetup.exe")" | sed 's/^/wine64:  /'
