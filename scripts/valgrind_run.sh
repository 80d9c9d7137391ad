#!/usr/bin/env bash
# The real program under valgrind memcheck, in real time, in a virtual X server
# of its own: start it, press 'a', let it animate (at least 20 s; default 40),
# toggle the overlay, wire frame and pause on the way, then quit with 'q'.
# Passes when memcheck finds no memory error and no byte definitely lost from
# the project's own code (basicsource/, support/, objects/); suppressions for
# Mesa, GLX, D-Bus and ld.so are in tests/valgrind.supp.
#
#   scripts/valgrind_run.sh [SECONDS]
#
# Long (a minute or more): not part of scripts/test.sh; run it by hand.
set -euo pipefail
GEODESICS_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$GEODESICS_ROOT/scripts/packages.sh"
ensure_packages $GEODESICS_ALL_PACKAGES valgrind
source "$GEODESICS_ROOT/scripts/xvfb.sh"

seconds=${1:-40}
[ "$seconds" -ge 20 ] || { echo "animate at least 20 seconds" >&2; exit 2; }

build=$GEODESICS_ROOT/build/normal
build_tree "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
out=$GEODESICS_ROOT/build/valgrind
mkdir -p "$out"
log=$out/memcheck.log

pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    stop_xvfb
}
trap cleanup EXIT
start_xvfb

key() { xdotool key --window "$w" "$@" 2>/dev/null; }
find_window() {
    w=$(timeout 300 xdotool search --sync --onlyvisible --name '^Geodesics' 2>/dev/null | head -1)
    [ -n "$w" ] || { echo "the window did not appear"; exit 1; }
}
# The keys of the run: start, overlay, wire frame and target moves, pause and
# resume, wire frame off. $1: seconds of animation before and after the pause.
play() {
    key a
    sleep "$1"
    key t
    sleep 2
    key w Left Up
    sleep 2
    key p
    sleep 2 # paused: not counted as animation time
    key p w
    sleep "$2"
}
quit_and_wait() {
    xdotool keydown --window "$w" q 2>/dev/null
    status=0
    for _ in $(seq 600); do kill -0 "$pid" 2>/dev/null || break; sleep 0.5; done
    wait "$pid" || status=$?
    pid=""
}

# From the source root, so that the start sound is found and played (on SDL's
# silent "dummy" device: there is no sound card here).
cd "$GEODESICS_ROOT"

# llvmpipe compiles a shader for each new combination of GL state, which under
# valgrind takes seconds each; a first run without valgrind, through the same
# keys, fills Mesa's shader cache so that the run under valgrind draws frames
# instead of compiling. Its own figures are not kept.
SDL_AUDIODRIVER=dummy "$build/geodesics" >/dev/null 2>&1 &
pid=$!
find_window
play 2 2
quit_and_wait

started=$(date +%s)
SDL_AUDIODRIVER=dummy LD_PRELOAD=/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so \
    valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect,possible \
    --errors-for-leak-kinds=none --num-callers=40 --fullpath-after= \
    --child-silent-after-fork=yes \
    --suppressions="$GEODESICS_ROOT/tests/valgrind.supp" --log-file="$log" \
    "$build/geodesics" >"$out/program.txt" 2>&1 &
pid=$!

find_window
echo "window up after $(( $(date +%s) - started )) s under valgrind"
animating_from=$(date +%s)
play $(( seconds / 2 )) $(( seconds - seconds / 2 - 4 ))
wall=$(( $(date +%s) - animating_from ))
# The overlay is on: the screenshot shows the frame number and animation time.
xwd -id "$w" -silent | convert xwd:- "png:$out/last-frame.png" || true
quit_and_wait
echo "program exit status $status after $wall s from 'a' (2 s of it paused); screenshot $out/last-frame.png"

definite=$(grep -m1 "definitely lost:" "$log" | sed 's/.*definitely lost: *//')
indirect=$(grep -m1 "indirectly lost:" "$log" | sed 's/.*indirectly lost: *//')
possible=$(grep -m1 "possibly lost:" "$log" | sed 's/.*possibly lost: *//')
reachable=$(grep -m1 "still reachable:" "$log" | sed 's/.*still reachable: *//')
suppressed=$(grep -m1 "suppressed:" "$log" | sed 's/.*suppressed: *//')
errors=$(grep -m1 "ERROR SUMMARY:" "$log" | sed 's/.*ERROR SUMMARY: \([0-9,]*\) errors.*/\1/')

# Bytes definitely lost in loss records whose allocation stack passes through
# the project's own sources.
own_lost=$(awk -v root="$GEODESICS_ROOT" '
    /definitely lost in loss record/ { inrec = 1; bytes = $2; gsub(",", "", bytes); own = 0; next }
    inrec && /^==[0-9]+== *$/ { if (own) total += bytes; inrec = 0; next }
    inrec && (/\(basicsource\// || /\(support\// || /\(objects\// || index($0, root "/")) { own = 1 }
    END { if (inrec && own) total += bytes; print total + 0 }' "$log")

echo "memcheck: $errors memory errors"
echo "  definitely lost: $definite"
echo "  definitely lost from the project's code: $own_lost bytes"
echo "  indirectly lost: $indirect"
echo "  possibly lost:   $possible"
echo "  still reachable: $reachable"
echo "  suppressed:      $suppressed"
echo "full log: $log"

[ "$status" -eq 0 ] || { echo "the program did not exit cleanly"; tail -n 20 "$out/program.txt"; exit 1; }
[ "$own_lost" -eq 0 ] || { echo "memory definitely lost from the project's code"; exit 1; }
[ "${errors//,/}" -eq 0 ] || { echo "memcheck reported errors"; exit 1; }
echo "valgrind run: clean"
