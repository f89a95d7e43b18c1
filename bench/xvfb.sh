# Sourced by the benchmarks that need a display: start_xvfb FOLDER starts Xvfb on a free display,
# exports DISPLAY and stops the server when the shell exits (the caller's EXIT trap must call
# stop_xvfb).
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
