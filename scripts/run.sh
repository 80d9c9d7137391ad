#!/usr/bin/env bash
# Builds the project and runs the demonstration from the repository root, where
# resources/ (the start sound) is found.
#
#   scripts/run.sh                  with a display: opens the window; the keys
#                                   are in the README. Without a display: draws
#                                   the program's frames off screen with
#                                   geodesics-render, pictures at 3, 25, 60 and
#                                   90 s and the whole animation as an MP4
#                                   (about a minute), and says where they are.
#   scripts/run.sh report [args]    prints the geodesic value report instead
#                                   (geodesic-report --help for its options).
#   scripts/run.sh web [PORT]       builds the web page and serves it on
#                                   127.0.0.1 (port 8000 unless given; 0 takes
#                                   a free one) until Ctrl-C; prints its URL.
#                                   A port in use or that is no port: one
#                                   line, status 2, before anything is built.
#
# Each mode installs the Debian packages it needs and builds only the targets
# it runs; scripts/test.sh installs and builds everything.
set -euo pipefail
GEODESICS_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$GEODESICS_ROOT/scripts/packages.sh"
build=$GEODESICS_ROOT/build/normal

# build_targets TARGET...: configures build/normal (each part built when what
# it needs is installed) and builds only those targets.
build_targets() {
    configure_tree "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$build" -j "$(nproc)" --target "$@"
}

case "${1:-}" in
report)
    shift
    ensure_packages $GEODESICS_BUILD_PACKAGES
    build_targets geodesic-report >&2
    exec "$build/tools/geodesic-report" "$@"
    ;;
web)
    if [ $# -gt 2 ]; then
        echo "usage: scripts/run.sh web [PORT]" >&2
        exit 2
    fi
    port=${2-8000}
    # A port in use or that is no port is said at once, not after the build.
    export GEODESICS_SERVE_COMMAND="scripts/run.sh web"
    ensure_packages python3
    python3 "$GEODESICS_ROOT/web/serve.py" --check-port "$port"
    ensure_packages $GEODESICS_BUILD_PACKAGES $GEODESICS_WINDOW_PACKAGES $GEODESICS_RENDER_PACKAGES
    ensure_web_tools
    build_targets web_page
    echo "Serving the web page until Ctrl-C at:"
    exec python3 "$GEODESICS_ROOT/web/serve.py" "$build/web/site" "$port"
    ;;
esac

cd "$GEODESICS_ROOT"
if [ -n "${DISPLAY:-}" ]; then
    ensure_packages $GEODESICS_BUILD_PACKAGES $GEODESICS_WINDOW_PACKAGES
    build_targets geodesics
    exec "$build/geodesics" "$@"
fi

# --- No display: the frames drawn off screen by geodesics-render -----------------

ensure_packages $GEODESICS_BUILD_PACKAGES $GEODESICS_WINDOW_PACKAGES $GEODESICS_RENDER_PACKAGES
build_targets geodesics-render
out="$GEODESICS_ROOT/build/screenshots"
mkdir -p "$out"
render=$build/tools/geodesics-render
echo "No display: drawing the animation off screen with geodesics-render"
"$render" --stats --at 3,25,60,90 --png "$out/geodesics-%ts.png"
for t in 3 25 60 90; do echo "  ${t}s: $out/geodesics-${t}s.png"; done
started=$EPOCHREALTIME
"$render" --stats --video "$out/geodesics-animation.mp4"
echo "  the whole animation (150 s, 720x576, 30 frames a second, H.264):" \
    "$out/geodesics-animation.mp4, written in" \
    "$(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.0f", b - a }') s"
