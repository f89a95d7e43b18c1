#!/usr/bin/env bash
# Start-up to the first painted frame under Xvfb, as whole processes: the real window (built
# the way main.cpp builds it, three files given) against a plain Qt window with the same
# controls, style sheet and font. The two alternate round by round; the first round is dropped
# and the median ratio program/plain is printed with its spread, for the time and for the peak
# memory (max RSS). CALLGRIND=1 adds one instruction count of each.
#
#   bench/first_paint.sh
#   ROUNDS=31 CALLGRIND=1 bench/first_paint.sh
set -euo pipefail

. "$(dirname "$0")/common.sh"
rounds=${ROUNDS:-21}

bench_build rangeur-bench-firstpaint rangeur-bench-plainwindow
ours=$build/bench/rangeur-bench-firstpaint
plain=$build/bench/rangeur-bench-plainwindow
qss=$root/resources/themes/metropolis-ui-blue.qss

work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
private_desktop "$work"
touch "$work/a.pdf" "$work/b.pdf" "$work/c.pdf"

start_xvfb "$work"

# Prints "microseconds max-RSS-KiB" for one whole run.
run() {
    local t0 t1
    t0=$(now)
    /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
    t1=$(now)
    echo "$(((t1 - t0) / 1000)) $(tail -n1 "$work/rss")"
}
run_ours() { run "$ours" "$work/app" "$work/a.pdf" "$work/b.pdf" "$work/c.pdf"; }
run_plain() { run "$plain" "$qss"; }

times_o=() times_p=() rss_o=() rss_p=() time_ratios=() rss_ratios=()
for ((r = 0; r < rounds; r++)); do
    if ((r % 2)); then p=$(run_plain); o=$(run_ours); else o=$(run_ours); p=$(run_plain); fi
    ((r == 0)) && continue
    read -r to ro <<<"$o"
    read -r tp rp <<<"$p"
    times_o+=("$to") times_p+=("$tp") rss_o+=("$ro") rss_p+=("$rp")
    time_ratios+=("$(ratio "$to" "$tp")") rss_ratios+=("$(ratio "$ro" "$rp")")
done
echo "first painted frame over $((rounds - 1)) rounds: program $(thousandths "$(median "${times_o[@]}")") ms," \
    "plain window $(thousandths "$(median "${times_p[@]}")") ms, median ratio $(median "${time_ratios[@]}")" \
    "[$(minmax "${time_ratios[@]}")]"
echo "peak memory: program $(median "${rss_o[@]}") KiB, plain window $(median "${rss_p[@]}") KiB," \
    "median ratio $(median "${rss_ratios[@]}") [$(minmax "${rss_ratios[@]}")]"

if [ "${CALLGRIND:-0}" = 1 ]; then
    instructions() {
        valgrind --tool=callgrind --callgrind-out-file="$work/cg.out" "$@" >/dev/null 2>&1 || true
        awk '/^summary:/ { print $2 }' "$work/cg.out"
    }
    io=$(instructions "$ours" "$work/app" "$work/a.pdf" "$work/b.pdf" "$work/c.pdf")
    ip=$(instructions "$plain" "$qss")
    echo "instructions: program $io, plain window $ip, ratio $(ratio "$io" "$ip")"
fi
