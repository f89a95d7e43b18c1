#!/usr/bin/env bash
# The folder-name list at scale. Starts the window (offscreen, up to its first paint) with a
# DOSSIERS.TXT of COUNT names (default 100,000) and with an empty one, alternating round by
# round, drops the first round and prints the median ratio full/empty with its spread; then
# times single keys typed into the box holding the full list.
#
#   bench/folder_list.sh
#   COUNT=20000 ROUNDS=15 bench/folder_list.sh
set -euo pipefail

. "$(dirname "$0")/common.sh"
count=${COUNT:-100000}
rounds=${ROUNDS:-11}

bench_build rangeur-bench-folderlist
driver=$build/bench/rangeur-bench-folderlist

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/full" "$work/empty" "$work/home"
: >"$work/empty/DOSSIERS.TXT"
# Names as a user makes them: a word, a year, a number; some share long prefixes.
awk -v n="$count" 'BEGIN { srand(7); split("FACTURES RELEVES NOTES IMPOTS SCANS PHOTOS", w, " ");
    for (i = 0; i < n; i++) printf "%s %d %06d\r\n", w[i % 6 + 1], 2000 + i % 25, int(rand() * 1e6) }' \
    >"$work/full/DOSSIERS.TXT"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"

run() { local t0; t0=$(now); "$driver" paint "$1" 2>/dev/null; echo $((($(now) - t0) / 1000)); }

ratios=()
fulls=()
empties=()
for ((r = 0; r < rounds; r++)); do
    if ((r % 2)); then e=$(run "$work/empty"); f=$(run "$work/full"); else f=$(run "$work/full"); e=$(run "$work/empty"); fi
    ((r == 0)) && continue
    fulls+=("$f")
    empties+=("$e")
    ratios+=("$(ratio "$f" "$e")")
done
echo "first paint, $count names vs empty list: full $(thousandths "$(median "${fulls[@]}")") ms," \
    "empty $(thousandths "$(median "${empties[@]}")") ms, median ratio $(median "${ratios[@]}")" \
    "[$(minmax "${ratios[@]}")] over $((rounds - 1)) rounds"
"$driver" keys "$work/full" 300 2>/dev/null
