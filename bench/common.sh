# Sourced by the benchmark scripts: their Release build, their arithmetic and their display.
#   . "$(dirname "$0")/common.sh"
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# A release build of its own: the release preset leaves the benchmarks out.
build=${BUILD_DIR:-$root/build/bench}

# bench_build TARGET...: configures the build on first use and builds the targets.
bench_build() {
    [ -f "$build/build.ninja" ] ||
        cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON >/dev/null
    cmake --build "$build" --target "$@" >/dev/null
}

now() { date +%s%N; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
# median VALUE...: the middle value, or the mean of the two middle ones.
median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
        END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
# thousandths VALUE: VALUE / 1000, whole (microseconds to milliseconds).
thousandths() { awk -v t="$1" 'BEGIN { printf "%d", t / 1000 }'; }
# minmax VALUE...: "lowest-highest".
minmax() { printf '%s\n' "$@" | sort -g | awk 'NR == 1 { lo = $1 } { hi = $1 } END { print lo "-" hi }'; }

# private_desktop FOLDER: a home (with its desktop, the default root folder, so that the window
# asks nothing first), a runtime folder and an app/ folder in FOLDER, the XDG variables pointed
# there and Qt on X11 without the desktop's platform theme.
private_desktop() {
    mkdir -p "$1/home/Desktop" "$1/runtime" "$1/app"
    chmod 700 "$1/runtime"
    export HOME="$1/home" XDG_CONFIG_HOME="$1/home/.config" XDG_DATA_HOME="$1/home/.local/share" \
        XDG_CACHE_HOME="$1/home/.cache" XDG_RUNTIME_DIR="$1/runtime" QT_QPA_PLATFORM=xcb
    unset QT_QPA_PLATFORMTHEME
}

# start_xvfb FOLDER: Xvfb on a free display, DISPLAY exported; the caller's EXIT trap calls
# stop_xvfb.
xvfb_pid=
start_xvfb() {
    command -v Xvfb >/dev/null || { echo "Xvfb is missing: run scripts/setup" >&2; exit 1; }
    local display_fd
    exec {display_fd}>"$1/display"
    Xvfb -displayfd "$display_fd" -screen 0 1280x1024x24 -nolisten tcp >"$1/xvfb.log" 2>&1 &
    xvfb_pid=$!
    exec {display_fd}>&-
    for _ in $(seq 100); do [ -s "$1/display" ] && break; sleep 0.05; done
    [ -s "$1/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$(head -n 1 "$1/display")"
}
stop_xvfb() { [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true; }
