#!/usr/bin/env bash
# Peak memory once the start's background work is done: the real program on one document
# against a plain Qt window with the same controls, style sheet and font, each read 1.5 s after
# its window was given the focus (VmHWM), under Xvfb. The two alternate round by round; the
# first round is dropped and the median ratio program/plain is printed with its spread.
#
#   bench/warm_memory.sh
#   PLAIN_KEY=1 bench/warm_memory.sh   # the plain window also gets one key (Shift), which makes
#                                      # Qt read the compose table there too
set -euo pipefail

. "$(dirname "$0")/common.sh"
rounds=${ROUNDS:-11}

command -v xdotool >/dev/null || { echo "xdotool is missing: run scripts/setup --test" >&2; exit 1; }
bench_build rangeur rangeur-bench-plainwindow
plain=$build/bench/rangeur-bench-plainwindow
qss=$root/resources/themes/metropolis-ui-blue.qss

work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
private_desktop "$work"
cp "$build/src/app/rangeur" "$work/app/"
printf 'contenu\n' >"$work/a.pdf"
export LC_ALL=C.UTF-8
unset DBUS_SESSION_BUS_ADDRESS
start_xvfb "$work"

# Prints the peak resident memory in KiB of the command's window, 1.5 s after its focus.
peak() {
    local pid win kib
    "$@" >/dev/null 2>&1 &
    pid=$!
    win=$(xdotool search --sync --onlyvisible --pid "$pid" 2>/dev/null | head -n 1)
    xdotool windowfocus --sync "$win"
    [ "${key:-0}" = 1 ] && xdotool key --window "$win" shift
    sleep 1.5
    kib=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "$kib"
}

ours=() plains=() ratios=()
for ((r = 0; r < rounds; r++)); do
    if ((r % 2)); then
        p=$(key=${PLAIN_KEY:-0} peak "$plain" "$qss" --stay); o=$(peak "$work/app/rangeur" "$work/a.pdf")
    else
        o=$(peak "$work/app/rangeur" "$work/a.pdf"); p=$(key=${PLAIN_KEY:-0} peak "$plain" "$qss" --stay)
    fi
    ((r == 0)) && continue
    ours+=("$o") plains+=("$p") ratios+=("$(ratio "$o" "$p")")
done
echo "peak memory 1.5 s after the focus, $((rounds - 1)) rounds: program $(median "${ours[@]}") KiB," \
    "plain window $(median "${plains[@]}") KiB, median ratio $(median "${ratios[@]}") [$(minmax "${ratios[@]}")]"
