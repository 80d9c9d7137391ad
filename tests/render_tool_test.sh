#!/usr/bin/env bash
# geodesics-render used as a person would, with no display: pictures and their
# sizes, identical bytes from two runs, short videos read back with ffprobe,
# every kind of bad input (its message, exit status 2 and no file left), a
# failing encoder and an interrupted video (exit status 1 or the signal, and
# no file left, not even the temporary).
#
# Environment (set by CTest): BUILD_DIR, SOURCE_DIR, SANITIZED=1 for the
# AddressSanitizer build.
set -euo pipefail
: "${BUILD_DIR:?}" "${SOURCE_DIR:?}"
source "$SOURCE_DIR/tests/script_env.sh" # run_built
unset DISPLAY
RENDER="$BUILD_DIR/tools/geodesics-render"
REPORT="$BUILD_DIR/tools/geodesic-report"

work=$(mktemp -d /tmp/geodesics-render-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
pass() { echo "ok: $*"; }

# probe FILE: "width height frames rate" of the first video stream.
probe() {
    ffprobe -v error -count_frames -select_streams v:0 \
        -show_entries stream=width,height,nb_read_frames,r_frame_rate -of csv=p=0 "$1" |
        awk -F, '{ print $1, $2, $4, $3 }'
}

# --- Pictures ----------------------------------------------------------------------

out=$work/pictures
mkdir -p "$out"
run_built "$RENDER" --stats --at 25,60.5 --png "$out/shot-%t.png" 2>"$work/err" ||
    fail "two moments: exit status $?"
[ -s "$work/err" ] && fail "standard error not quiet when it is no terminal: $(cat "$work/err")"
[ "$(probe "$out/shot-25.png" | cut -d' ' -f1,2)" = "720 576" ] || fail "shot-25.png is not 720x576"
[ -f "$out/shot-60.5.png" ] || fail "%t is not the time as written"
[ "$(ls -A "$out" | wc -l)" = 2 ] || fail "unexpected files: $(ls -A "$out")"
run_built "$RENDER" --stats --at 60.5 --png "$out/again.png"
cmp -s "$out/shot-60.5.png" "$out/again.png" || fail "two runs give different bytes"
cmp -s "$out/shot-25.png" "$out/again.png" && fail "25 s and 60.5 s give the same picture"
pass "pictures at 25 and 60.5 s, byte-identical from two runs, quiet standard error"

for size in 1920x1080 3840x2160; do
    run_built "$RENDER" --size "$size" --samples 4 --at 90 --png "$out/$size.png"
    [ "$(probe "$out/$size.png" | cut -d' ' -f1,2)" = "${size/x/ }" ] || fail "$size picture"
done
pass "pictures of 1920x1080 and 3840x2160, multisampled"

# --- Video -------------------------------------------------------------------------

video=$work/video
mkdir -p "$video"
run_built "$RENDER" --from 84 --to 86 --video "$video/flight.mp4"
[ "$(probe "$video/flight.mp4")" = "720 576 60 30/1" ] || fail "MP4: $(probe "$video/flight.mp4")"
run_built "$RENDER" --size 320x240 --fps 12 --to 2 --video "$video/flight.webm"
[ "$(probe "$video/flight.webm")" = "320 240 24 12/1" ] || fail "WebM: $(probe "$video/flight.webm")"
run_built "$RENDER" --size 181x145 --fps 10 --from 148 --to 150 --video "$video/flight.gif"
[ "$(probe "$video/flight.gif")" = "181 145 20 10/1" ] || fail "GIF: $(probe "$video/flight.gif")"
[ "$(ls -A "$video" | wc -l)" = 3 ] || fail "leftovers beside the videos: $(ls -A "$video")"
pass "2-second MP4, WebM and GIF decode to the asked frames, size and rate"

# psnr VIDEO FRAME PICTURE: the peak signal-to-noise ratio in dB of the
# video's frame number FRAME against the picture of the same moment, the
# lowest of Y, U and V ("inf" for identical planes reads as 100).
psnr() {
    ffmpeg -hide_banner -nostdin -i "$3" -i "$1" -filter_complex \
        "[1:v]select=eq(n\\,$2)[f];[0:v][f]psnr" -f null - 2>&1 |
        sed -n 's/.*PSNR y:\([0-9.inf]*\) u:\([0-9.inf]*\) v:\([0-9.inf]*\).*/\1 \2 \3/p' |
        tail -1 | awk '{ m = 100; for (i = 1; i <= 3; i++) if ($i != "inf" && $i < m) m = $i; print m }'
}
# The frames are converted to YUV on the way to the encoder: a frame decoded
# from the video must look like the picture of its moment. The lossy codecs
# keep each plane above 40 dB here; U and V swapped give 28, a frame upside
# down less.
run_built "$RENDER" --at 85 --png "$work/at85.png"
run_built "$RENDER" --size 320x240 --at 1 --png "$work/at1-small.png"
for check in "flight.mp4 30 at85.png" "flight.webm 12 at1-small.png"; do
    read -r file frame picture <<<"$check"
    db=$(psnr "$video/$file" "$frame" "$work/$picture")
    awk -v db="$db" 'BEGIN { exit !(db != "" && db + 0 >= 35) }' ||
        fail "$file frame $frame against $picture: PSNR '$db' dB"
done
pass "MP4 and WebM frames match the pictures of their moments (PSNR >= 35 dB a plane)"

# Any number of moments: 100 pictures, given in two lists.
many=$work/many
mkdir -p "$many"
run_built "$RENDER" --size 16x16 --at "$(seq -s, 0 1.5 74)" --at "$(seq -s, 75 1.5 148.5)" \
    --png "$many/at-%t.png"
[ "$(ls "$many" | wc -l)" = 100 ] && [ -f "$many/at-148.5.png" ] || fail "100 moments: $(ls "$many" | wc -l)"
pass "100 moments in two --at lists"

frames=$work/frames
run_built "$RENDER" --fps 4 --from 10 --to 11 --frames "$frames"
[ "$(ls "$frames")" = "$(printf 'frame-%05d.png\n' 0 1 2 3)" ] || fail "frames: $(ls -A "$frames")"
pass "--frames writes one numbered PNG per frame"

# --- Bad input: one line, status 2, nothing written ----------------------------------

bad=$work/bad
mkdir -p "$bad"
# expect_bad PATTERN ARGS...: exit status 2, one line on standard error
# matching PATTERN, and nothing in $bad afterwards. EXTRA_ENV: one more
# VAR=value for the tool's environment.
expect_bad() {
    local pattern=$1 status=0
    shift
    env "${BUILT_ENV[@]}" ${EXTRA_ENV:+"$EXTRA_ENV"} "$RENDER" "$@" >"$work/out" 2>"$work/err" ||
        status=$?
    [ "$status" = 2 ] || fail "$* gave status $status, not 2 ($(cat "$work/err"))"
    [ "$(wc -l <"$work/err")" = 1 ] || fail "$* said more than one line: $(cat "$work/err")"
    grep -qF -- "$pattern" "$work/err" || fail "$* said: $(cat "$work/err") (expected $pattern)"
    [ -z "$(ls -A "$bad")" ] || fail "$* left $(ls -A "$bad")"
}
expect_bad "unknown option '--colour'" --colour --at 1 --png "$bad/x.png"
expect_bad "unexpected argument 'extra'" --at 1 --png "$bad/x.png" extra
expect_bad "--size '0x576' has no pixels" --size 0x576 --at 1 --png "$bad/x.png"
expect_bad "--size '720' is not WIDTHxHEIGHT" --size 720 --at 1 --png "$bad/x.png"
expect_bad "--size '99999x10' is past this OpenGL's limit" --size 99999x10 --at 1 --png "$bad/x.png"
expect_bad "--size '999999999x1' is past this OpenGL's limit" --size 999999999x1 --at 1 --png "$bad/x.png"
expect_bad "--samples '64' is past this OpenGL's limit" --samples 64 --at 1 --png "$bad/x.png"
# Numbers are decimals everywhere, as the value report reads them.
expect_bad "--at '0x10' is not a number of seconds" --at 0x10 --png "$bad/x.png"
expect_bad "missing value after --size" --size= --at 1 --png "$bad/x.png"
expect_bad "--to '1e1x' is not a number of seconds" --to 1e1x --video "$bad/x.mp4"
expect_bad "--fps '0x10' is not a whole number" --fps 0x10 --video "$bad/x.mp4"
expect_bad "--size '0x10x0x10' is not WIDTHxHEIGHT" --size 0x10x0x10 --at 1 --png "$bad/x.png"
expect_bad "--samples '2.5' is not a whole number" --samples 2.5 --at 1 --png "$bad/x.png"
expect_bad "--from '-1' is outside the animation" --from -1 --video "$bad/x.mp4"
expect_bad "--from '20' is not before --to '10'" --from 20 --to 10 --video "$bad/x.mp4"
expect_bad "--to '151' is outside the animation" --to 151 --video "$bad/x.mp4"
expect_bad "--at '-2' is outside the animation" --at=-2 --png "$bad/x.png"
expect_bad "--at gives '25.0' twice" --at 25,25.0 --png "$bad/x-%t.png"
expect_bad "needs %t in its name" --at 25,60 --png "$bad/x.png"
expect_bad "--fps '0' is not a whole number" --fps 0 --video "$bad/x.mp4"
expect_bad "does not end in .mp4, .webm or .gif" --video "$bad/x.avi"
expect_bad "need an even width and height" --size 721x576 --video "$bad/x.mp4"
expect_bad "nothing to write" --stats
expect_bad "cannot write '$bad/no/such/x.png'" --at 1 --png "$bad/no/such/x.png"
expect_bad "cannot write '$bad/no/x.mp4'" --video "$bad/no/x.mp4"
expect_bad "--pentagons needs 4 values" --pentagons 0.5 0 --at 1 --png "$bad/x.png"
expect_bad "--pentagons needs 4 values (LAT1 LONG1 LAT2 LONG2), got 3" --pentagons=0.5,0,1 --at 1 \
    --png "$bad/x.png"
# The pentagon values are read and refused as the value report refuses them,
# whether as four words or as --pentagons=LAT1,LONG1,LAT2,LONG2.
for words in "2 0 0.5 0" "0.5 zero 0.5 0" "0.5 0 0.5 inf" "0x1p-1 0 0.5 0"; do
    # shellcheck disable=SC2086
    said=$("$REPORT" $words 2>&1 >/dev/null | head -1 | sed 's/^geodesic-report: //' || true)
    [ -n "$said" ] || fail "geodesic-report took $words"
    # shellcheck disable=SC2086
    expect_bad "$said" --pentagons $words --at 1 --png "$bad/x.png"
    expect_bad "$said" "--pentagons=${words// /,}" --at 1 --png "$bad/x.png"
done
EXTRA_ENV=PATH=$work/empty-path expect_bad "ffmpeg is not on PATH" --video "$bad/x.mp4"
pass "bad input: one line, status 2, no file"

# --- Failures while writing: status 1, no file, no temporary -------------------------

fake=$work/fake-bin
mkdir -p "$fake"
# An encoder that takes one frame, complains and dies.
cat >"$fake/ffmpeg" <<'FAKE'
#!/bin/sh
head -c 622080 >/dev/null # one 720x576 frame in YUV 4:2:0
echo "fake encoder: disk on fire" >&2
exit 1
FAKE
chmod +x "$fake/ffmpeg"
status=0
PATH=$fake:$PATH run_built "$RENDER" --to 3 --video "$bad/x.mp4" 2>"$work/err" || status=$?
[ "$status" = 1 ] || fail "a dying encoder gave status $status"
grep -q "ffmpeg failed (exit status 1): fake encoder: disk on fire" "$work/err" ||
    fail "a dying encoder: $(cat "$work/err")"
[ -z "$(ls -A "$bad")" ] || fail "a dying encoder left $(ls -A "$bad")"
pass "an encoder that dies: status 1, its message, no file"

env "${BUILT_ENV[@]}" "$RENDER" --video "$bad/long.mp4" 2>/dev/null & # $!: the tool itself
pid=$!
for _ in $(seq 200); do
    [ -n "$(ls -A "$bad")" ] && break
    sleep 0.05
done
sleep 0.5
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" = 143 ] || fail "SIGTERM: status $status, not 143"
sleep 0.2 # the killed encoder's last writes
[ -z "$(ls -A "$bad")" ] || fail "SIGTERM left $(ls -A "$bad")"
pass "SIGTERM during a video: no file, no temporary"

run_built "$RENDER" --help >"$work/help"
grep -q "^usage: geodesics-render" "$work/help" || fail "--help"
for promise in "--png - writes one picture to standard output" "one that holds frames is refused" \
    "symbolic link is written through"; do
    grep -qF -- "$promise" "$work/help" || fail "--help does not say: $promise"
done
pass "--help"
