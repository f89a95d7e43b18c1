#!/usr/bin/env bash
# Moves sets of files as a filing run does (copy into a new folder, then send the source to the
# trash) with CopyFileOver + SendToRecycleBin, and with cp --preserve=mode,timestamps + gio trash
# on the same kind of fresh data, round by round, and prints the ratio ours/reference per set.
#
#   bench/copy_trash.sh            # 2000 x 64 KiB, 200 x 5 MiB, 1 x 1 GiB
#   SETS="few many lots small medium large" bench/copy_trash.sh   # and 100, 1000, 10000 x 4 KiB
#   taskset -c 0 bench/copy_trash.sh   # both sides on one core
#   ORDER=interleaved bench/copy_trash.sh   # ours one file at a time, as a filing run moves them
#   MODE=filing SETS="small large" bench/copy_trash.sh   # ours: the whole run through the window
#
# The data lives under build/ (the same file system as the sources) and is deleted at the end of
# each set; a set is skipped, with a message, when the disk lacks room for all its rounds
# (about 4.5 GiB for the small set, 18 GiB for each of the two others).
set -euo pipefail

. "$(dirname "$0")/common.sh"
sets=${SETS:-"small medium large"}
order=${ORDER:-batch}
mode=${MODE:-helpers}

command -v gio >/dev/null ||
    { echo "gio is missing (package libglib2.0-bin): run scripts/setup" >&2; exit 1; }
bench_build rangeur-bench-files rangeur-bench-filing
driver=$build/bench/rangeur-bench-files
filing=$build/bench/rangeur-bench-filing

work=$(mktemp -d "$root/build/bench-files.XXXXXX")
trap 'rm -rf "$work"' EXIT

# make_master DIR COUNT KIB: COUNT files of distinct random content.
make_master() {
    mkdir -p "$1"
    for ((i = 0; i < $2; i++)); do
        head -c "$(($3 * 1024))" /dev/urandom >"$1/file $i.bin"
    done
    touch -d '2021-03-04 05:06:07.123456789' "$1"/*
}

# run_side SIDE MASTER: a fresh copy of the set, a fresh target folder and a fresh trash, then
# the timed move. Prints the elapsed nanoseconds.
run_side() {
    local side=$1 master=$2 run
    run=$(mktemp -d "$work/run.XXXXXX")
    cp -a "$master" "$run/src"
    mkdir -p "$run/dst" "$run/home/.local/share" "$run/home/Desktop"
    sync
    local start end
    start=$(now)
    (
        export HOME=$run/home XDG_DATA_HOME=$run/home/.local/share
        if [ "$side" = ours ] && [ "$mode" = filing ]; then
            "$filing" "$run/dst" "$run/src"/*
        elif [ "$side" = ours ]; then
            if [ "$order" = interleaved ]; then
                "$driver" --interleaved "$run/dst" "$run/src"/*
            else
                "$driver" "$run/dst" "$run/src"/*
            fi
        else
            cp --preserve=mode,timestamps "$run/src"/* "$run/dst"/ && gio trash "$run/src"/*
        fi
    )
    end=$(now)
    # Both sides must have moved everything.
    local out=$run/dst
    [ "$side" = ours ] && [ "$mode" = filing ] && out=$run/dst/BENCH
    [ -z "$(ls -A "$run/src")" ] && [ "$(ls "$out" | wc -l)" = "$(ls "$master" | wc -l)" ] \
        || { echo "$side did not move the whole set" >&2; exit 1; }
    sync
    echo $((end - start))
}

bench_set() {
    local label=$1 count=$2 kib=$3 rounds=$4
    local master=$work/master
    make_master "$master" "$count" "$kib"
    local ratios=() ours_times=() ref_times=()
    for ((r = 0; r < rounds; r++)); do
        local t_ours t_ref
        # Alternate which side goes first, so that neither always meets a busier disk.
        if ((r % 2 == 0)); then
            t_ours=$(run_side ours "$master"); t_ref=$(run_side ref "$master")
        else
            t_ref=$(run_side ref "$master"); t_ours=$(run_side ours "$master")
        fi
        ((r == 0)) && continue # the first round warms caches and is dropped
        ratios+=("$(ratio "$t_ours" "$t_ref")")
        ours_times+=("$t_ours"); ref_times+=("$t_ref")
    done
    # Deleting is left to the end of the set: on this kind of disk, blocks freed (and discarded)
    # just before a run make that run's writes slow, whichever side it is.
    rm -rf "$master" "$work"/run.*
    sync
    local med lo hi mo mr
    med=$(median "${ratios[@]}")
    IFS=- read -r lo hi <<<"$(minmax "${ratios[@]}")"
    mo=$(median "${ours_times[@]}")
    mr=$(median "${ref_times[@]}")
    printf '%-14s rounds %d  ours %7.1f ms  reference %7.1f ms  ' \
        "$label" "${#ratios[@]}" "$(awk -v t="$mo" 'BEGIN { print t / 1e6 }')" \
        "$(awk -v t="$mr" 'BEGIN { print t / 1e6 }')"
    printf 'ratio median %.3f (min %.3f, max %.3f)\n' "$med" "$lo" "$hi"
}

echo "file system: $(df -h --output=source,fstype,avail "$work" | tail -1), order: $order, mode: $mode"
for set in $sets; do
    case $set in
    few) args=("100 x 4 KiB" 100 4 12) ;;
    many) args=("1000 x 4 KiB" 1000 4 10) ;;
    lots) args=("10000 x 4 KiB" 10000 4 6) ;;
    small) args=("2000 x 64 KiB" 2000 64 8) ;;
    medium) args=("200 x 5 MiB" 200 5120 4) ;;
    large) args=("1 x 1 GiB" 1 1048576 4) ;;
    *) echo "unknown set: $set" >&2; exit 2 ;;
    esac
    # Until the end of the set, each round keeps four copies of it (for each side, the copies
    # and the trashed sources), beside the master.
    need_kib=$(((4 * ${args[3]} + 1) * ${args[1]} * ${args[2]} * 11 / 10))
    avail_kib=$(df --output=avail -k "$work" | tail -1)
    if ((avail_kib < need_kib)); then
        printf '%-14s skipped: needs %d MiB free, %d MiB available\n' "${args[0]}" \
            $((need_kib / 1024)) $((avail_kib / 1024))
        continue
    fi
    bench_set "${args[@]}"
done
