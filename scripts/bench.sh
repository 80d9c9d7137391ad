#!/usr/bin/env bash
# Builds the optimised program and the benchmarks, then measures and prints:
#   1. CPU time per frame across the animation: the full scene, each object alone
#      and an empty clear+swap (the floor), with ratios, and heap allocations
#      in steady-state frames (bench/frame_bench.cpp);
#   2. instructions per frame, in total and in the project's own code, from two
#      callgrind runs that differ only in their number of frames;
#   3. start-up: process start to the first frame on screen, and peak resident
#      memory then, against a bare GLUT window opened the same way;
#   4. geodesics-render: frames a second drawing alone, with read-back, and
#      encoding the whole animation to H.264, against the window's own frame
#      cost; reading 150,000 --at times; a 1920x1080 PNG; peak memory of a
#      short and a long video;
#   5. the web page in headless Chromium (bench/web_bench.mjs): sizes, time to
#      interactive, a parameter change, orbiting;
#   6. the shared mathematics (bench/mathematics_bench.cpp, bench/dome_bench.cpp):
#      every intersection of the great circles and the lengths between them,
#      for the scene's values and random sets, against the figure's own
#      samples; the dome for the scene's values, its arrangement and cut list.
# The program runs in a virtual X server of its own (Mesa's llvmpipe), the
# page on SwiftShader. Figures only: nothing here passes or fails on a time.
#
#   scripts/bench.sh [frames] [instructions] [startup] [render] [web] [mathematics]
#                    (default: all but `web`, which runs only when named)
# STARTUP_RUNS sets the number of start-up runs of each program (default 15).
set -euo pipefail
GEODESICS_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$GEODESICS_ROOT/scripts/packages.sh"
ensure_packages $GEODESICS_ALL_PACKAGES valgrind time
source "$GEODESICS_ROOT/scripts/xvfb.sh"

runs=${STARTUP_RUNS:-15}
parts=" ${*:-frames instructions startup render mathematics} "
want() { [[ "$parts" == *" $1 "* ]]; }
build=$GEODESICS_ROOT/build/bench
out=$build/results
web=AUTO
targets=()
if want frames || want instructions || want startup || want render; then
    targets+=(geodesics frame_bench bare_window first_frame_probe)
fi
if want render; then
    targets+=(geodesics-render render_bench)
fi
if want mathematics; then
    targets+=(mathematics_bench dome_bench)
fi
if want web; then
    ensure_web_tools
    web=ON
    targets+=(web_page)
fi
# Release, with debug information so that callgrind can name the functions.
cmake -S "$GEODESICS_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS=-g -DCMAKE_C_FLAGS=-g -DGEODESICS_WEB=$web >/dev/null
cmake --build "$build" -j 2 --target "${targets[@]}" >/dev/null
mkdir -p "$out"

trap stop_xvfb EXIT
start_xvfb

echo "== machine =="
# The run's name, which the figures quoted in README.md and docs/ give.
echo "run of $(date -u '+%Y-%m-%d %H:%M') UTC on commit $(git -C "$GEODESICS_ROOT" rev-parse --short HEAD 2>/dev/null || echo unknown)"
echo "$(nproc) cores: $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'), no GPU;" \
    "$(grep MemTotal /proc/meminfo | awk '{printf "%.0f GiB", $2 / 1048576}');" \
    "load average now $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Mesa llvmpipe under Xvfb ($DISPLAY), 24-bit screen"
echo

if want frames; then
echo "== 1. CPU time per frame =="
"$build/bench/frame_bench" | tee "$out/frames.txt"
echo
fi

if want instructions; then
echo "== 2. Instructions per frame (callgrind, LP_NUM_THREADS=0, shader cache off) =="
for n in 24 48; do
    MESA_SHADER_CACHE_DISABLE=true LP_NUM_THREADS=0 \
        valgrind --tool=callgrind --callgrind-out-file="$out/callgrind.$n" \
        "$build/bench/frame_bench" --callgrind-frames "$n" >/dev/null 2>"$out/callgrind.$n.log"
done
python3 "$GEODESICS_ROOT/bench/callgrind_split.py" "$GEODESICS_ROOT" \
    "$out/callgrind.24" 24 "$out/callgrind.48" 48 | tee "$out/instructions.txt"
echo "(frames cycle through the six animation times; per frame = (I(48) - I(24)) / 24)"
echo
fi

if want startup; then
echo "== 3. Start-up to the first frame on screen, $runs runs each, alternating =="
probe=$build/bench/libfirst_frame_probe.so
: >"$out/startup.txt"
first_frame() { # NAME PROGRAM
    echo -n "$1 " >>"$out/startup.txt"
    FIRST_FRAME_OUT=$out/startup.txt FIRST_FRAME_T0=$EPOCHREALTIME LD_PRELOAD=$probe "$2"
}
cd "$GEODESICS_ROOT"
# One run of each first, not counted: it fills Mesa's shader cache as any
# earlier run on this machine would have.
first_frame warm "$build/bench/bare_window"
first_frame warm "$build/geodesics"
for _ in $(seq "$runs"); do
    first_frame bare "$build/bench/bare_window"
    first_frame program "$build/geodesics"
done
python3 - "$out/startup.txt" <<'EOF'
import statistics, sys
runs = {}
for line in open(sys.argv[1]):
    name, wall, cpu, rss = line.split()
    runs.setdefault(name, []).append((float(wall), float(cpu), int(rss)))
def figures(name):
    r = runs[name]
    return [statistics.median(x[i] for x in r) for i in range(3)] + [min(x[0] for x in r)]
bare, prog = figures("bare"), figures("program")
print(f"{'':24}{'wall ms (median, min)':>24}{'CPU ms':>10}{'peak RSS KiB':>14}")
for label, f in (("bare window (floor)", bare), ("geodesics", prog)):
    print(f"{label:24}{f[0]:15.1f} {f[3]:7.1f}{f[1]:10.1f}{f[2]:14d}")
print(f"{'ratio to the floor':24}{prog[0] / bare[0]:15.2f} {prog[3] / bare[3]:7.2f}"
      f"{prog[1] / bare[1]:10.2f}{prog[2] / bare[2]:14.2f}")
EOF
fi

if want render; then
echo
echo "== 4. geodesics-render: the animation off screen (720x576, 30 frames a second) =="
render=$build/tools/geodesics-render
(cd "$out" && env -u DISPLAY "$build/bench/render_bench" draw &&
    env -u DISPLAY "$build/bench/render_bench" readback &&
    "$build/bench/render_bench" options) | tee "$out/render.txt"
# timed NAME ARGS...: wall seconds and peak resident memory of one run of the tool.
timed() {
    local name=$1
    shift
    env -u DISPLAY /usr/bin/time -f "%e %M" -o "$out/$name.time" "$render" "$@" 2>/dev/null
    read -r wall rss <"$out/$name.time"
}
timed animation --video "$out/animation.mp4"
echo "whole animation to H.264 MP4: 4500 frames in $wall s wall," \
    "$(awk -v w="$wall" 'BEGIN { printf "%.1f", 4500 / w }') frames/s," \
    "$(awk -v w="$wall" 'BEGIN { printf "%.1f", 150 / w }') times real time; peak memory $((rss / 1024)) MiB" |
    tee -a "$out/render.txt"
timed short --to 10 --video "$out/short.mp4"
echo "peak memory, 10 s video: $((rss / 1024)) MiB (150 s: see above)" | tee -a "$out/render.txt"
timed hd --size 1920x1080 --at 90 --stats --png "$out/hd.png"
echo "one 1920x1080 PNG, start to finish: $wall s" | tee -a "$out/render.txt"
# The window's own frame cost, in the same run: frame_bench's wall time of the
# full scene at its six moments of the animation.
"$build/bench/frame_bench" --rounds 3 --frames 30 >"$out/window-frames.txt"
awk '/^ *[0-9.]+ / && NF > 10 { sum += $NF; n++ }
    END { if (n) printf "the window, same machine and run: %.2f ms wall a frame (mean of %d moments), %.0f frames/s\n", sum / n, n, 1000 * n / sum }' \
    "$out/window-frames.txt" | tee -a "$out/render.txt"
fi

if want web; then
echo
echo "== 5. The web page (headless Chromium, SwiftShader) =="
SITE_DIR=$build/web/site node "$GEODESICS_ROOT/bench/web_bench.mjs" | tee "$out/web.txt"
fi

if want mathematics; then
echo
echo "== 6. The mathematics: intersections, lengths and the dome (one core, no display) =="
("$build/bench/mathematics_bench" && "$build/bench/dome_bench") | tee "$out/mathematics.txt"
fi
