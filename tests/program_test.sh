#!/usr/bin/env bash
# The real program, used as a person would: its window on an X display, keys
# sent with xdotool, screenshots compared pixel by pixel. Also one run with the
# resources missing and, in the normal build, one traced run whose OpenGL calls
# are checked frame by frame.
#
# Environment (set by CTest): BUILD_DIR (holds the program), SOURCE_DIR,
# SANITIZED=1 for the AddressSanitizer build. Uses the X display in DISPLAY, or
# starts its own Xvfb when there is none.
set -euo pipefail

: "${BUILD_DIR:?}" "${SOURCE_DIR:?}"
SANITIZED=${SANITIZED:-0}
PROGRAM="$BUILD_DIR/geodesics"
TITLE="Geodesics projected onto a cylinder (demo version) - the geodesics developers"

# The sanitizer build draws several times slower: every wait scales with it.
SLOW=1
[ "$SANITIZED" = 1 ] && SLOW=4

source "$SOURCE_DIR/tests/script_env.sh" # BUILT_ENV, start_xvfb, stop_xvfb

work=$(mktemp -d /tmp/geodesics-program-XXXXXX)
started=()
cleanup() {
    local p
    for p in "${started[@]}"; do kill "$p" 2>/dev/null || true; done
    stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -s "$work/program.log" ] && sed 's/^/  program: /' "$work/program.log" >&2
    exit 1
}
pass() { echo "ok: $*"; }

if [ -z "${DISPLAY:-}" ]; then
    start_xvfb 1280x1024x24 || fail "no Xvfb"
fi

# A folder to run from, with the resources where the program looks for them.
rundir="$work/run"
mkdir -p "$rundir" "$work/empty"
ln -s "$SOURCE_DIR/resources" "$rundir/resources"

program_env=("${BUILT_ENV[@]}" SDL_AUDIODRIVER=dummy)

# start DIR [VAR=value...]: runs the program from DIR; sets $pid and $win.
start() {
    local dir=$1
    shift
    (cd "$dir" && exec env "${program_env[@]}" "$@" "$PROGRAM") >"$work/program.log" 2>&1 &
    pid=$!
    started+=("$pid")
    win=$(timeout $((10 * SLOW)) xdotool search --sync --onlyvisible --pid "$pid" --name '^Geodesics' | head -1) ||
        fail "no window"
    [ -n "$win" ] || fail "no window"
}

# finish: waits (bounded) for the program to end; its exit status in $status.
finish() {
    for _ in $(seq $((50 * SLOW))); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "the program did not end"
    status=0
    wait "$pid" || status=$?
}

shot() { xwd -id "$win" -silent | convert xwd:- "png:$1"; }

# Number of pixels that differ by more than 2%.
differing() {
    local ae
    ae=$(compare -metric AE -fuzz 2% "$1" "$2" null: 2>&1 || true)
    echo "${ae%% *}"
}

# wait_for same|different REFERENCE OUT: takes screenshots into OUT until it
# matches (or differs from) REFERENCE; gives up after a few seconds.
wait_for() {
    local want=$1 ref=$2 out=$3 n
    for _ in $(seq $((30 * SLOW))); do
        shot "$out"
        n=$(differing "$ref" "$out")
        if [ "$want" = same ] && [ "$n" = 0 ]; then return 0; fi
        if [ "$want" = different ] && [ "$n" != 0 ]; then return 0; fi
        sleep 0.1
    done
    return 1
}

# wait_still OUT: waits until two screenshots half a second apart are the
# same, that is until the picture has stopped changing; leaves it in OUT.
wait_still() {
    local out=$1
    shot "$out"
    for _ in $(seq $((10 * SLOW))); do
        sleep 0.5
        shot "$out.next"
        [ "$(differing "$out" "$out.next")" = 0 ] && return 0
        mv "$out.next" "$out"
    done
    return 1
}

# xdotool's complaint about the focus without a window manager is noise.
key() { xdotool key --window "$win" "$@" 2>/dev/null || fail "xdotool could not send $*"; }
keydown() { xdotool keydown --window "$win" "$1" 2>/dev/null || fail "xdotool could not send $1"; }

pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }

# --- A run with the resources: the window, the keys, the animation -------------------

start "$rundir"

[ "$(xdotool getwindowname "$win")" = "$TITLE" ] || fail "title: $(xdotool getwindowname "$win")"
eval "$(xdotool getwindowgeometry --shell "$win")"
[ "$X,$Y,$WIDTH,$HEIGHT" = "100,100,720,576" ] || fail "geometry $X,$Y ${WIDTH}x$HEIGHT"
pass "window titled, 720x576 at (100, 100)"

# The first picture: drawn, not black, and still (nothing animates yet).
wait_still "$work/start.png" || fail "the start picture keeps changing"
[ "$(pixel "$work/start.png" 360 288)" != "srgb(0,0,0)" ] || fail "nothing drawn at the centre"
[ "$(pixel "$work/start.png" 20 288)" = "srgb(0,0,0)" ] || fail "the background is not black"

# Each key, then its opposite: the picture changes, then comes back exactly.
check_pair() {
    local there=$1 back=$2
    key "$there"
    wait_for different "$work/start.png" "$work/$there.png" || fail "'$there' did not change the picture"
    key "$back"
    wait_for same "$work/start.png" "$work/back.png" || fail "'$back' did not undo '$there'"
}
check_pair t t
check_pair w w
check_pair Left Right
check_pair Up Down
check_pair l r
check_pair u d
check_pair i o
pass "t, w, the arrows and the eye keys change the picture and undo each other"

# Capitals do nothing: after them, 'w' gives exactly the wire frame it gave
# before (an animation, a text line, a camera move or a full screen would
# show), and the program is still there ('Q' is not 'q').
key A P T W F L R U D I O M Q
key w
wait_for same "$work/w.png" "$work/capitals.png" || fail "capital letters changed the picture"
key w
wait_for same "$work/start.png" "$work/back.png" || fail "'w' did not undo itself"
kill -0 "$pid" 2>/dev/null || fail "a capital letter ended the program"
pass "capital letters do nothing"

key a
wait_for different "$work/start.png" "$work/anim1.png" || fail "'a' did not start the animation"
sleep 0.5
wait_for different "$work/anim1.png" "$work/anim2.png" || fail "the animation does not move"
pass "'a' animates"

key p
wait_still "$work/paused.png" || fail "'p' did not freeze the picture"
sleep 1
shot "$work/paused-later.png"
[ "$(differing "$work/paused.png" "$work/paused-later.png")" = 0 ] || fail "the paused picture changed"
key p
wait_for different "$work/paused.png" "$work/resumed.png" || fail "a second 'p' did not resume"
pass "'p' freezes the picture and a second 'p' resumes"

read -r screen_w screen_h < <(xdotool getdisplaygeometry)
key f
for _ in $(seq $((30 * SLOW))); do
    eval "$(xdotool getwindowgeometry --shell "$win")"
    [ "$WIDTH,$HEIGHT" = "$screen_w,$screen_h" ] && break
    sleep 0.1
done
[ "$WIDTH,$HEIGHT" = "$screen_w,$screen_h" ] || fail "'f': ${WIDTH}x$HEIGHT on a ${screen_w}x$screen_h screen"
pass "'f' fills the screen"

keydown q
finish
[ "$status" = 0 ] || fail "'q' ended the program with status $status"
pass "'q' quits with status 0"

# --- A run without the resources: no sound to play, nothing else changes ------------

start "$work/empty"
wait_still "$work/start2.png" || fail "the start picture keeps changing"
key a
wait_for different "$work/start2.png" "$work/anim3.png" || fail "no animation without the sound file"
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "the program died without its sound file"
keydown Escape
finish
[ "$status" = 0 ] || fail "Escape ended the program with status $status"
pass "without resources/ the animation runs; Escape quits with status 0"

# --- The OpenGL calls of the first frames, traced -------------------------------------

if [ "$SANITIZED" = 1 ]; then
    echo "skipped: the traced run (not under the sanitizers)"
    exit 0
fi
glxtrace=/usr/lib/x86_64-linux-gnu/apitrace/wrappers/glxtrace.so
[ -f "$glxtrace" ] || fail "apitrace's glxtrace.so is missing"

start "$rundir" LD_PRELOAD="$glxtrace" TRACE_FILE="$work/run.trace"
wait_still "$work/traced.png" || fail "the traced start picture keeps changing"
key t # a second frame, with the text overlay
wait_for different "$work/traced.png" "$work/traced-text.png" || fail "'t' did not redraw"
kill -TERM "$pid" # the tracer writes out its trace on SIGTERM
finish
apitrace dump --color=never --call-nos=no "$work/run.trace" 2>/dev/null | grep -v '// fake' >"$work/dump.txt"

python3 "$SOURCE_DIR/tests/traced_frames.py" "$work/dump.txt" || fail "the traced calls"
pass "traced frames: two lists compiled once, each frame's calls in order"
