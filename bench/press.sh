#!/usr/bin/env bash
# The real program on one document (64 KiB unless told), from the Return key that presses OK to
# the process's end, against cp --preserve=mode,timestamps then gio trash on the same fresh
# files, alternated round by round, first round dropped: prints the median ratio ours/reference
# and its spread.
#
# The name is one used before (in the folder-name list, shown at start) and "open the folder" is
# off, so Return is the only key: what the first key loads is in the timing. The key is sent
# through XTest by a process already running, which also waits for the program's end.
#
#   bench/press.sh                     # 41 rounds
#   ROUNDS=21 COUNT=100 KIB=4 bench/press.sh
#   taskset -c 0 bench/press.sh        # both sides on one core
#   VS=/path/to/rangeur bench/press.sh # another build of the program as the reference
#   VERBOSE=1 bench/press.sh           # each round's figures too
#   BENCH_DIR=/dev/shm bench/press.sh  # the files on tmpfs: no disk, for the large sets, whose
#                                      # copies the disk's writeback otherwise dominates
#
# Virtual machines may take back the memory a guest frees, a few seconds after (free page
# reporting): a copy into such memory then waits on the host for every page, and one that
# starts a second later than the other may find twice as many pages gone. For a set of 64 MiB or
# more, just before the key, each side first writes and frees a block the size of the set and a
# quarter on tmpfs: both then copy into memory the guest holds, as on a machine of its own.
set -euo pipefail

. "$(dirname "$0")/common.sh"
rounds=${ROUNDS:-41}
count=${COUNT:-1}
kib=${KIB:-64}
warm_kib=0
((count * kib < 64 * 1024)) || warm_kib=$((count * kib * 5 / 4))

for tool in gio xdotool; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/setup --test" >&2; exit 1; }
done
bench_build rangeur rangeur-bench-press
press=$build/bench/rangeur-bench-press
[ -x "$press" ] || { echo "xcb-xtest is missing: run scripts/setup --test" >&2; exit 1; }

work=$(mktemp -d "${BENCH_DIR:-$root/build}/press.XXXXXX")
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb "$work"
mkdir -p "$work/master" "$work/app"
for ((i = 0; i < count; i++)); do
    head -c $((kib * 1024)) /dev/urandom >"$work/master/a$i.bin"
done
# The program keeps its settings and lists beside it: each round starts from a copy.
cp "$build/src/app/rangeur" "$work/app/"
printf 'BENCH\r\n' >"$work/app/DOSSIERS.TXT"
if [ -n "${VS:-}" ]; then
    cp -a "$work/app" "$work/vs"
    cp "$VS" "$work/vs/rangeur"
fi

# run_side SIDE: fresh files, target, trash and settings, then the timed run; prints nanoseconds
# and the processor time in nanoseconds.
run_side() {
    local run times
    run=$(mktemp -d "$work/run.XXXXXX")
    mkdir -p "$run/src" "$run/dst" "$run/home/.local/share" "$run/runtime"
    chmod 700 "$run/runtime"
    cp -p "$work/master"/* "$run/src/"
    if [ "$1" = ref ] && [ -n "${VS:-}" ]; then cp -a "$work/vs" "$run/app"; else cp -a "$work/app" "$run/app"; fi
    printf '[OPTIONS]\r\nchk_OPEN=0\r\nchk_Confirm=0\r\nFICHIER=BENCH\r\nDOSSIER=%s\r\n' "$run/dst" \
        >"$run/app/rangeur.INI"
    (
        export HOME=$run/home XDG_DATA_HOME=$run/home/.local/share XDG_CONFIG_HOME=$run/home/.config \
            XDG_CACHE_HOME=$run/home/.cache XDG_RUNTIME_DIR=$run/runtime LC_ALL=C.UTF-8
        unset DBUS_SESSION_BUS_ADDRESS
        if [ "$1" = ours ] || [ -n "${VS:-}" ]; then
            coproc timed { "$press" --key -- "$run/app/rangeur" "$run/src"/* 2>/dev/null; }
            read -r -u "${timed[0]}" _ # started
            local win
            win=$(xdotool search --sync --onlyvisible --name '^Création de dossier' | head -n 1)
            xdotool windowfocus --sync "$win"
        else
            coproc timed { "$press" --run -- cp --preserve=mode,timestamps "$run/src"/* "$run/dst/" \
                --then gio trash "$run/src"/*; }
        fi
        # The same pause on both sides after the disk is written out: what the kernel still
        # does after a sync weighs on a large copy that starts at once otherwise. For ours it
        # is also the user's pause once the window has settled.
        sync
        sleep 0.5
        if ((warm_kib)); then
            head -c $((warm_kib * 1024)) /dev/zero >/dev/shm/rangeur-press-warm
            rm /dev/shm/rangeur-press-warm
        fi
        echo go >&"${timed[1]}"
        read -r -u "${timed[0]}" times
        wait "$timed_PID" || { echo "$1 failed" >&2; exit 1; }
        if [ "$1" = ours ] || [ -n "${VS:-}" ]; then
            [ "$(ls "$run/dst/BENCH" | wc -l)" = "$count" ] ||
                { echo "ours did not move the files" >&2; exit 1; }
        fi
        [ -z "$(ls -A "$run/src")" ] || { echo "$1 did not trash the files" >&2; exit 1; }
        echo "$times"
    )
    rm -rf "$run"
}

ratios=() ours=() ref=() cpuRatios=() oursCpu=() refCpu=()
for ((r = 0; r < rounds; r++)); do
    if ((r % 2 == 0)); then
        read -r o oc <<<"$(run_side ours)"; read -r f fc <<<"$(run_side ref)"
    else
        read -r f fc <<<"$(run_side ref)"; read -r o oc <<<"$(run_side ours)"
    fi
    [ -z "${VERBOSE:-}" ] || echo "round $r: ours $o ($oc) reference $f ($fc)" >&2
    ((r == 0)) && continue
    ratios+=("$(ratio "$o" "$f")") cpuRatios+=("$(ratio "$oc" "$fc")")
    ours+=("$o") ref+=("$f") oursCpu+=("$oc") refCpu+=("$fc")
done
ms() { awk -v t="$(median "$@")" 'BEGIN { printf "%.1f", t / 1e6 }'; }
IFS=- read -r lo hi <<<"$(minmax "${ratios[@]}")"
IFS=- read -r clo chi <<<"$(minmax "${cpuRatios[@]}")"
printf '%d x %d KiB, %d rounds\n' "$count" "$kib" "${#ratios[@]}"
printf '  Return to the end: ours %s ms  reference %s ms  ratio median %.3f (min %.3f, max %.3f)\n' \
    "$(ms "${ours[@]}")" "$(ms "${ref[@]}")" "$(median "${ratios[@]}")" "$lo" "$hi"
printf '  processor time:    ours %s ms  reference %s ms  ratio median %.3f (min %.3f, max %.3f)\n' \
    "$(ms "${oursCpu[@]}")" "$(ms "${refCpu[@]}")" "$(median "${cpuRatios[@]}")" "$clo" "$chi"
