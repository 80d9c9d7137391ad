# A private virtual X server for scripts and script tests; sourced.

# start_xvfb [WxHxDEPTH]: starts a virtual X server of its own on a free
# display (1024x768x24 unless given), so that windows of tests running in
# parallel never meet, and points DISPLAY at it. The caller stops it with
# stop_xvfb (e.g. from an EXIT trap).
XVFB_PID=""
start_xvfb() {
    local screen=${1:-1024x768x24}
    # The display number is written to a plain file, not a pipe: the server
    # may write it again later, and a pipe with no reader would end it.
    local numfile n=""
    numfile=$(mktemp)
    Xvfb -displayfd 5 -screen 0 "$screen" -nolisten tcp -noreset 5>"$numfile" 2>/dev/null &
    XVFB_PID=$!
    for _ in $(seq 300); do
        n=$(head -n1 "$numfile")
        [ -n "$n" ] && break
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$numfile"
    if [ -z "$n" ]; then
        echo "Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$n"
}
stop_xvfb() {
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    fi
}
