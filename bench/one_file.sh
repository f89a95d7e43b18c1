#!/usr/bin/env bash
# Files (one of 64 KiB unless told) filed through the real window on Xvfb, from the press on OK to
# the program's end, against cp --preserve=mode,timestamps + gio trash on the same fresh files,
# alternated
# round by round, first round dropped: prints the median ratio ours/reference and its spread.
#
#   bench/one_file.sh          # 41 rounds
#   ROUNDS=21 bench/one_file.sh
#   COUNT=100 KIB=4 bench/one_file.sh   # a set of files, filed from the press as well
#   taskset -c 0 bench/one_file.sh      # both sides on one core
set -euo pipefail

. "$(dirname "$0")/common.sh"
rounds=${ROUNDS:-41}
count=${COUNT:-1}
kib=${KIB:-64}

command -v gio >/dev/null || { echo "gio is missing: run scripts/setup" >&2; exit 1; }
bench_build rangeur-bench-filing
filing=$build/bench/rangeur-bench-filing

work=$(mktemp -d "$root/build/one-file.XXXXXX")
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb "$work"
mkdir -p "$work/master"
for ((i = 0; i < count; i++)); do
    head -c $((kib * 1024)) /dev/urandom >"$work/master/a$i.bin"
done
# The program's settings and lists sit beside it: give it a copy of its own, so that every
# round starts from the same state.
mkdir -p "$work/bin"
cp "$filing" "$work/bin/"
program=$work/bin/$(basename "$filing")

# run_side SIDE: a fresh file, target and trash, then the timed move; prints nanoseconds.
run_side() {
    local run
    run=$(mktemp -d "$work/run.XXXXXX")
    mkdir -p "$run/src" "$run/dst" "$run/home/.local/share"
    cp -p "$work/master"/* "$run/src/"
    sync
    (
        export HOME=$run/home XDG_DATA_HOME=$run/home/.local/share XDG_CONFIG_HOME=$run/home/.config
        if [ "$1" = ours ]; then
            pressed=$("$program" --on-screen --print-press "$run/dst" "$run/src"/* 2>/dev/null |
                tail -n 1)
            end=$(now)
            [ "$(ls "$run/dst/BENCH" | wc -l)" = "$count" ] ||
                { echo "ours did not move the files" >&2; exit 1; }
        else
            pressed=$(now)
            cp --preserve=mode,timestamps "$run/src"/* "$run/dst/" && gio trash "$run/src"/*
            end=$(now)
        fi
        [ -z "$(ls -A "$run/src")" ] || { echo "$1 did not trash the files" >&2; exit 1; }
        echo $((end - pressed))
    )
    rm -rf "$run"
}

ratios=() ours=() ref=()
for ((r = 0; r < rounds; r++)); do
    if ((r % 2 == 0)); then
        o=$(run_side ours); f=$(run_side ref)
    else
        f=$(run_side ref); o=$(run_side ours)
    fi
    ((r == 0)) && continue
    ratios+=("$(ratio "$o" "$f")")
    ours+=("$o"); ref+=("$f")
done
IFS=- read -r lo hi <<<"$(minmax "${ratios[@]}")"
printf '%d x %d KiB, %d rounds: ours %.1f ms  reference %.1f ms  ratio median %.3f (min %.3f, max %.3f)\n' \
    "$count" "$kib" "${#ratios[@]}" "$(awk -v t="$(median "${ours[@]}")" 'BEGIN { print t / 1e6 }')" \
    "$(awk -v t="$(median "${ref[@]}")" 'BEGIN { print t / 1e6 }')" \
    "$(median "${ratios[@]}")" "$lo" "$hi"
