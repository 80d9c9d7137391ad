#!/usr/bin/env bash
# Builds the project and runs the demonstration from the repository root, where
# resources/ (the start sound) is found.
#
#   scripts/run.sh                  with a display: opens the window; the keys
#                                   are in the README. Without a display: draws
#                                   the program's frames off screen with
#                                   geodesics-render, pictures at 3, 25, 60 and
#                                   90 s and the whole flight as an MP4 (about a
#                                   minute), and says where they are.
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

# --- No display: the frames drawn off screen by geodesics-render -----------------

out="$GEODESICS_ROOT/build/screenshots"
mkdir -p "$out"
render=build/normal/tools/geodesics-render
echo "No display: drawing the flight off screen with geodesics-render"
"$render" --stats --at 3,25,60,90 --png "$out/geodesics-%ts.png"
for t in 3 25 60 90; do echo "  ${t}s: $out/geodesics-${t}s.png"; done
started=$EPOCHREALTIME
"$render" --stats --video "$out/geodesics-flight.mp4"
echo "  the whole flight (150 s, 720x576, 30 frames a second, H.264):" \
    "$out/geodesics-flight.mp4, written in" \
    "$(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.0f", b - a }') s"
