#!/usr/bin/env bash
# Builds the project and runs the demonstration from the repository root, where
# resources/ (the start sound) is found.
#
#   scripts/run.sh                  with a display: opens the window; the keys
#                                   are in the README. Without a display: runs it
#                                   under Xvfb as a person would (press 'a',
#                                   screenshots during the 150-second flight,
#                                   'q'), about 95 seconds, and says where the
#                                   pictures are.
#   scripts/run.sh report [args]    prints the geodesic value report instead
#                                   (geodesic-report --help for its options).
#   scripts/run.sh web [PORT]       builds the web page and serves it on
#                                   127.0.0.1 (port 8000 unless given; 0 takes
#                                   a free one) until Ctrl-C; prints its URL.
set -euo pipefail
GEODESICS_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$GEODESICS_ROOT/scripts/packages.sh"
ensure_packages

if [ "${1:-}" = web ]; then
    ensure_web_tools
    cmake -S "$GEODESICS_ROOT" -B "$GEODESICS_ROOT/build/normal" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGEODESICS_WEB=ON >/dev/null
    cmake --build "$GEODESICS_ROOT/build/normal" -j "$(nproc)" --target web_page
    echo "Serving the web page until Ctrl-C at:"
    exec python3 "$GEODESICS_ROOT/web/serve.py" "$GEODESICS_ROOT/build/normal/web/site" "${2:-8000}"
fi
build_tree "$GEODESICS_ROOT/build/normal" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cd "$GEODESICS_ROOT"

if [ "${1:-}" = report ]; then
    shift
    exec build/normal/tools/geodesic-report "$@"
fi
if [ -n "${DISPLAY:-}" ]; then
    exec build/normal/geodesics "$@"
fi

# --- No display: a virtual one, and a person at the keyboard ----------------------

shots="$GEODESICS_ROOT/build/screenshots"
mkdir -p "$shots"
rm -f "$shots"/geodesics-*.png
source "$GEODESICS_ROOT/scripts/xvfb.sh"
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    stop_xvfb
}
trap cleanup EXIT
start_xvfb

# Nothing can be heard here: the start sound goes to SDL's silent driver.
SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} build/normal/geodesics "$@" &
pid=$!
win=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" --name '^Geodesics' | head -1)
[ -n "$win" ] || { echo "the program's window did not appear" >&2; exit 1; }
echo "Running under Xvfb on $DISPLAY: $(xdotool getwindowname "$win")"

shoot() { xwd -id "$win" -silent | convert xwd:- "png:$shots/$1"; }
press() { xdotool key --window "$win" "$@" 2>/dev/null; }

sleep 1
shoot geodesics-start.png
press t a # the statistics line on, then start the animation
started=$EPOCHREALTIME

# at SECONDS NAME: waits until SECONDS of animation have passed, then a screenshot.
at() {
    local wait
    wait=$(awk -v s="$1" -v t0="$started" -v now="$EPOCHREALTIME" 'BEGIN { w = s - (now - t0); print (w > 0 ? w : 0) }')
    sleep "$wait"
    shoot "$2"
    echo "  ${1}s: $shots/$2"
}
at 3 geodesics-03s.png
at 25 geodesics-25s.png
at 60 geodesics-60s.png
at 90 geodesics-90s-caption.png

xdotool keydown --window "$win" q 2>/dev/null
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
status=0
wait "$pid" || status=$?
pid=""
echo "The program ended with status $status; the pictures are in $shots/"
exit "$status"
