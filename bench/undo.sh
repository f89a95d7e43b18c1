#!/usr/bin/env bash
# Files a set of files through the window (offscreen, no confirmation) and undoes that run as
# rangeur --annuler does once the user has said Oui, round by round on fresh copies of the set,
# and prints the median ratio undo/filing with its spread. Each round checks that the undo put
# every byte back and left nothing of the run behind.
#
#   bench/undo.sh                  # 2000 x 64 KiB, 8 rounds
#   COUNT=500 KIB=4 ROUNDS=6 bench/undo.sh
set -euo pipefail

. "$(dirname "$0")/common.sh"
count=${COUNT:-2000}
kib=${KIB:-64}
rounds=${ROUNDS:-8}

bench_build rangeur-bench-filing rangeur-bench-undo
filing=$build/bench/rangeur-bench-filing
undo=$build/bench/rangeur-bench-undo
# Both keep their state beside themselves, where the run's journal is written and read.
journals=$(dirname "$filing")/JOURNAUX
rm -rf "$journals"

work=$(mktemp -d "$root/build/bench-undo.XXXXXX")
trap 'rm -rf "$work" "$journals"' EXIT

master=$work/master
mkdir -p "$master"
for ((i = 0; i < count; i++)); do
    head -c "$((kib * 1024))" /dev/urandom >"$master/file $i.bin"
done
(cd "$master" && sha256sum -- * >"$work/sums")

ratios=() filing_times=() undo_times=()
for ((r = 0; r < rounds; r++)); do
    run=$(mktemp -d "$work/run.XXXXXX")
    cp -a "$master" "$run/src"
    mkdir -p "$run/dst" "$run/home/.local/share" "$run/home/Desktop"
    sync
    export HOME=$run/home XDG_DATA_HOME=$run/home/.local/share
    start=$(now)
    "$filing" "$run/dst" "$run/src"/*
    middle=$(now)
    [ -z "$(ls -A "$run/src")" ] || { echo "the run did not move every file" >&2; exit 1; }
    sync
    middle2=$(now)
    "$undo"
    end=$(now)
    (cd "$run/src" && sha256sum --quiet -c "$work/sums") ||
        { echo "the undo did not put every byte back" >&2; exit 1; }
    [ ! -e "$run/dst/BENCH" ] && [ -z "$(ls -A "$XDG_DATA_HOME/Trash/files")" ] ||
        { echo "the undo left part of the run behind" >&2; exit 1; }
    # Deleting is left to the end: blocks freed just before a run slow its writes down.
    ((r == 0)) && continue # the first round warms caches and is dropped
    t_filing=$((middle - start))
    t_undo=$((end - middle2))
    ratios+=("$(ratio "$t_undo" "$t_filing")")
    filing_times+=("$t_filing"); undo_times+=("$t_undo")
done

med=$(median "${ratios[@]}")
IFS=- read -r lo hi <<<"$(minmax "${ratios[@]}")"
printf '%d x %d KiB  rounds %d  filing %7.1f ms  undo %7.1f ms  ' "$count" "$kib" "${#ratios[@]}" \
    "$(awk -v t="$(median "${filing_times[@]}")" 'BEGIN { print t / 1e6 }')" \
    "$(awk -v t="$(median "${undo_times[@]}")" 'BEGIN { print t / 1e6 }')"
printf 'ratio undo/filing median %.3f (min %.3f, max %.3f)\n' "$med" "$lo" "$hi"
