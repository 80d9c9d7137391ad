#!/usr/bin/env bash
# Prints one SHA-256 line for each output of a build: geodesic-report's bytes
# in every format for the scene's values and 24 other sets, geodesics-render's
# pixels (decoded, so that nothing but the picture counts) and the web page's
# scene.json. Run it before and after a change that should change no output,
# and compare the two lists:
#
#   scripts/output_hashes.sh [BUILD_DIR] > before.txt    # BUILD_DIR: build/normal
#   ... change, rebuild ...
#   scripts/output_hashes.sh [BUILD_DIR] | diff before.txt -
#
# Needs the report tool, the renderer, the web site built, and ImageMagick.
set -euo pipefail
GEODESICS_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$GEODESICS_ROOT/build/normal}
report=$build/tools/geodesic-report
render=$build/tools/geodesics-render
scene=$build/web/site/scene.json
for file in "$report" "$render" "$scene"; do
    [ -e "$file" ] || { echo "output_hashes.sh: $file is missing: build it first" >&2; exit 2; }
done

# The scene's values (no words) and 24 others: general ones, pentagons at a
# pole or on the equator, the same pentagon twice, antipodal corners, values
# near the limits, longitudes beyond a turn.
value_sets=(
    ""
    "0.9 0 0.5 0.3"
    "0.5 0.2 -0.3 1.1"
    "1 0 0.5 0.3"
    "-1 0 1 0"
    "0 0 0 0"
    "0.5 0.1 0.5 0.1"
    "0.3 0 -0.3 0.6283185"
    "0.999 0 0.001 0"
    "-0.7 2 0.2 -3"
    "0.1 100 0.9 -50"
    "0.97531795 0.1 0.630991 0.1"
    "0.8 0.5 0.8 0.9"
    "0 0.2 0.5 0.7"
    "-0.95 1 -0.4 2.5"
    "0.6 0 0 0.3"
    "0.9999999 0 -0.9999999 1"
    "1e-7 0 0.5 0"
    "0.75 0.31 0.25 1.7"
    "-0.1 -0.1 0.1 0.1"
    "0.45 3.14159265 -0.85 -1.5707963"
    "0.33 0.77 0.66 1.55"
    "0.05 0 -0.05 0.3141593"
    "0.7 6.2831853 0.3 12.5663706"
    "0.2 0.4 0.2 1.0283185"
)
formats=(
    ""
    "--format json"
    "--format svg"
    "--format svg --intersections"
    "--intersections"
    "--dome"
    "--dome --radius 2500"
    "--format stl"
    "--format obj"
    "--format obj --radius 1000"
    "--format svg --diameter 40"
)

# hash_run LABEL COMMAND...: the hash of its standard output, standard error
# and exit status together.
hash_run() {
    local label=$1
    shift
    local status=0
    local sum
    sum=$({ "$@" 2>&1 || status=$?; echo "exit $status"; } | sha256sum | cut -d' ' -f1)
    echo "$sum  $label"
}

for values in "${value_sets[@]}"; do
    for format in "${formats[@]}"; do
        # shellcheck disable=SC2086 # the words are meant to split
        hash_run "report $format ${values:-(scene)}" "$report" $format $values
    done
done
for extra in "--help" "--format svg --diameter 10" "--format svg --diameter 300" \
    "--format svg --diameter 1000" "--format stl --radius 1e6" "--dome --radius 0.001"; do
    # shellcheck disable=SC2086
    hash_run "report $extra" "$report" $extra
done

# The renderer's pictures, as pixels.
frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
pixels() { convert "$1" rgb:- | sha256sum | cut -d' ' -f1; }
render_case() {
    local label=$1
    shift
    "$render" "$@" --png "$frames/shot-%t.png"
    local picture
    for picture in "$frames"/shot-*.png; do
        echo "$(pixels "$picture")  render $label $(basename "$picture")"
    done
    rm -f "$frames"/shot-*.png
}
render_case "stats" --stats --at 0,3,25,60,90,120,150
render_case "wire" --wire --at 40
render_case "pentagons" --pentagons 0.9 0 0.5 0.3 --at 60,100
render_case "pole" --pentagons 1 0 -0.4 2 --at 30
render_case "small" --size 320x240 --samples 4 --stats --at 86
hash_run "render --help" "$render" --help
"$render" --fps 4 --from 84 --to 86 --frames "$frames/sequence"
for picture in "$frames"/sequence/*.png; do
    echo "$(pixels "$picture")  render frames $(basename "$picture")"
done

echo "$(sha256sum <"$scene" | cut -d' ' -f1)  web scene.json"
