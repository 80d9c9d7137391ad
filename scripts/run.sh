#!/usr/bin/env bash
# Builds the project and runs the demonstration from the repository root, where
# resources/ (the start sound) is found.
#
#   scripts/run.sh                  with a display: opens the window; the keys
#                                   are in the README. Without a display: draws
#                                   the program's frames off screen with
#                                   geodesics-render, pictures at 3, 25, 60 and
#                                   90 s and the whole flight as an MP4 (under a
#                                   minute), and says where they are.
#   scripts/run.sh report [args]    prints the geodesic value report instead
#                                   (geodesic-report --help for its options).
set -euo pipefail
GEODESICS_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$GEODESICS_ROOT/scripts/packages.sh"
ensure_packages
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
