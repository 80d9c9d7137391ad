# Sourced by the script tests (tests/*_test.sh). CTest hands them BUILD_DIR,
# SOURCE_DIR and SANITIZED (1 for the AddressSanitizer build).

# The environment a program of the build needs to run: for the sanitized
# build, the settings tests/CMakeLists.txt gives the gtest executables (Mesa's
# driver preloaded so that LeakSanitizer can name it in tests/lsan.supp).
# Use as `env "${BUILT_ENV[@]}" PROGRAM ...` (env execs PROGRAM, so a `$!` of a
# background run is the program itself), or through run_built.
BUILT_ENV=()
if [ "${SANITIZED:-0}" = 1 ]; then
    BUILT_ENV=(ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1:abort_on_error=0
        "LSAN_OPTIONS=suppressions=$SOURCE_DIR/tests/lsan.supp:print_suppressions=0"
        UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
        LD_PRELOAD=/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so)
fi
run_built() { env "${BUILT_ENV[@]}" "$@"; }

# Starts a virtual X server of its own on a free display, so that windows of
# tests running in parallel never meet, and points DISPLAY at it. The caller
# stops it with stop_xvfb (e.g. from an EXIT trap).
XVFB_PID=""
start_xvfb() {
    # The display number is written to a plain file, not a pipe: the server
    # may write it again later, and a pipe with no reader would end it.
    local numfile n=""
    numfile=$(mktemp)
    Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset 5>"$numfile" 2>/dev/null &
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
