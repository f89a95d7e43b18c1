#!/usr/bin/env bash
# The longest time the window stays unpainted during a filing run of one large file, under Xvfb:
# a probe covers part of the window every 10 ms or so and times the repaint of the part it
# uncovers, until the run ends.
#
#   bench/paint_gap.sh             # one 1 GiB file, three runs
#   SIZE_MIB=256 RUNS=5 bench/paint_gap.sh
#
# The file lives under build/ (the same file system as the sources) and is deleted at the end.
set -euo pipefail
[ -n "${TRACE:-}" ] && set -x

. "$(dirname "$0")/common.sh"
size_mib=${SIZE_MIB:-1024}
runs=${RUNS:-3}

bench_build rangeur-bench-filing rangeur-paint-probe
filing=$build/bench/rangeur-bench-filing
probe=$build/bench/rangeur-paint-probe

work=$(mktemp -d "$root/build/paint-gap.XXXXXX")
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb "$work"

head -c "$((size_mib * 1024 * 1024))" /dev/urandom >"$work/master.bin"
echo "file system: $(df -h --output=source,fstype "$work" | tail -1), file: $size_mib MiB"
for ((r = 1; r <= runs; r++)); do
    run=$work/run$r
    mkdir -p "$run/src" "$run/dst" "$run/home/.local/share"
    cp "$work/master.bin" "$run/src/big.bin"
    sync
    (
        export HOME=$run/home XDG_DATA_HOME=$run/home/.local/share XDG_CONFIG_HOME=$run/home/.config
        "$filing" --on-screen "$run/dst" "$run/src/big.bin" >"$run/window" 2>"$run/log" &
        pid=$!
        for _ in $(seq 200); do [ -s "$run/window" ] && break; sleep 0.05; done
        [ -s "$run/window" ] || { echo "the window did not show" >&2; kill "$pid"; exit 1; }
        result=$("$probe" "$(head -n 1 "$run/window")")
        wait "$pid" || { echo "the run failed: $(cat "$run/log")" >&2; exit 1; }
        [ -f "$run/dst/BENCH/big.bin" ] || { echo "the file was not filed" >&2; exit 1; }
        echo "run $r: $result"
    )
    rm -rf "$run"
done
