#!/usr/bin/env bash
# Where geodesics-render's output goes, tried as a careless user would:
# names that are not regular files, symbolic links, an existing file's
# permissions, standard output, names ffmpeg could misread, a name as long as
# the file system takes, a full disk, a folder of older frames, a hang-up the
# shell said to ignore, memory that runs out and a framebuffer the driver
# cannot make. Whatever fails says so in one line, and leaves every existing
# file as it was and no temporary behind.
#
# Environment (set by CTest): BUILD_DIR, SOURCE_DIR, SANITIZED=1 for the
# AddressSanitizer build.
set -euo pipefail
: "${BUILD_DIR:?}" "${SOURCE_DIR:?}"
source "$SOURCE_DIR/tests/script_env.sh" # run_built
unset DISPLAY
RENDER="$BUILD_DIR/tools/geodesics-render"
small=(--size 32x32) # what is drawn does not matter here, only where it goes

work=$(mktemp -d /tmp/geodesics-output-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
pass() { echo "ok: $*"; }

# render STATUS ARGS...: runs the tool, standard output to $work/out and
# standard error to $work/err, and checks its exit status; then standard
# error must be empty for status 0 and one line otherwise.
render() {
    local expected=$1 status=0
    shift
    run_built "$RENDER" "$@" >"$work/out" 2>"$work/err" || status=$?
    [ "$status" = "$expected" ] || fail "$* gave status $status, not $expected: $(cat "$work/err")"
    if [ "$expected" = 0 ]; then
        [ -s "$work/err" ] && fail "$* said: $(cat "$work/err")"
    else
        [ "$(wc -l <"$work/err")" = 1 ] || fail "$* did not say one line: $(cat "$work/err")"
    fi
    return 0
}
said() { grep -qF -- "$1" "$work/err" || fail "expected '$1', got: $(cat "$work/err")"; }
# no_temporaries DIR: nothing a run left half-written.
no_temporaries() {
    local left
    left=$(ls -A "$1" | grep '^\.geodesics-' || true)
    [ -z "$left" ] || fail "temporaries left in $1: $left"
}
is_png() { [ "$(head -c 8 "$1" | od -An -c | tr -d ' ')" = '211PNG\r\n032\n' ]; }

# --- Names that are not regular files, links, permissions --------------------------

names=$work/names
mkdir -p "$names/folder"
mkfifo "$names/fifo"
python3 -c "import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])" "$names/socket"
devices=()
if [ "$(id -u)" = 0 ]; then
    mknod "$names/null" c 1 3 # what /dev/null is, without risking the real one
    devices=("$names/null")
fi
for name in "$names/fifo" "$names/socket" "${devices[@]}"; do
    render 2 "${small[@]}" --at 1 --png "$name"
    said "cannot write '$name': it is not a regular file"
done
[ -p "$names/fifo" ] && [ -S "$names/socket" ] || fail "a FIFO or socket was replaced"
[ "${#devices[@]}" = 0 ] || [ -c "$names/null" ] || fail "a device node was replaced"
# A folder is refused before any work: before the OpenGL's size limit, which
# is known only once its context runs.
for name in "$names/folder" "$names/folder/." "$names/.."; do
    render 2 --size 99999x10 --at 1 --png "$name"
    said "cannot write '$name': it is a folder"
done
no_temporaries "$names"
no_temporaries "$work"
pass "a FIFO, a socket, a device node and folders are refused with status 2, untouched"

# A link is written through: the target gets the picture and keeps its mode,
# the link stays a link; a dangling link makes its target.
printf 'older' >"$names/target.png"
chmod 600 "$names/target.png"
ln -s target.png "$names/link.png"
ln -s made.png "$names/dangling.png"
render 0 "${small[@]}" --at 1 --png "$names/link.png"
render 0 "${small[@]}" --at 1 --png "$names/dangling.png"
[ -L "$names/link.png" ] && [ -L "$names/dangling.png" ] || fail "a link was replaced by a file"
is_png "$names/target.png" || fail "the link's target did not get the picture"
is_png "$names/made.png" || fail "the dangling link's target was not made"
[ "$(stat -c %a "$names/target.png")" = 600 ] ||
    fail "the target's mode became $(stat -c %a "$names/target.png")"
chmod 640 "$names/made.png"
render 0 "${small[@]}" --at 2 --png "$names/made.png"
[ "$(stat -c %a "$names/made.png")" = 640 ] || fail "a file's mode became $(stat -c %a "$names/made.png")"
no_temporaries "$names"
pass "links written through to their targets, which keep their permissions"

# --- Standard output: the picture and nothing else -----------------------------------

# A pentagon at a pole: the program's core prints its notice five times on
# standard output, which the renderer keeps to itself.
pole=$work/pole
mkdir -p "$pole"
render 0 "${small[@]}" --pentagons 1 0 0.5 0 --at 1 --png "$pole/file.png"
[ -s "$work/out" ] && fail "standard output of a normal run: $(head -c 200 "$work/out")"
render 0 "${small[@]}" --pentagons=1,0,0.5,0 --at 1 --png -
cmp -s "$work/out" "$pole/file.png" || fail "--png - is not the picture the file holds"
[ "$(ls -A "$pole")" = file.png ] || fail "--png - left $(ls -A "$pole")"
render 2 "${small[@]}" --at 1,2 --png -
said "--png - writes one picture to standard output"
# A name for the tool's own standard output, here a pipe.
ln -s /proc/self/fd/1 "$pole/stdout"
status=0
run_built "$RENDER" "${small[@]}" --at 1 --png "$pole/stdout" 2>"$work/err" | cat >"$work/out" ||
    status=$?
[ "$status" = 2 ] && [ ! -s "$work/out" ] || fail "a link to a pipe: status $status"
said "it is not a regular file"
pass "standard output: silent, or exactly the picture with --png -"

# --- Names ffmpeg could take for something else, and a long name ----------------------

mkdir -p "$names/-d" "$names/c:d"
for video in a:b.mp4 pipe:1.mp4 -d/x.webm c:d/x.gif; do
    (cd "$names" && render 0 "${small[@]}" --fps 10 --to 0.3 --video "$video")
    [ "$(ffprobe -v error -count_frames -select_streams v:0 -show_entries \
        stream=nb_read_frames -of csv=p=0 "file:$names/$video")" = 3 ] || fail "$video: no video"
done
long=$(printf 'x%.0s' $(seq 251)).png # 255 bytes, the most a name here may have
render 0 "${small[@]}" --at 1 --png "$names/$long"
is_png "$names/$long" || fail "a 255-character name"
no_temporaries "$names"
pass "videos named a:b.mp4, pipe:1.mp4, -d/x.webm, c:d/x.gif; a picture of a 255-byte name"

# --- A full disk (a file size limit: the same failure, in the system's words) ----------

full=$work/full
mkdir -p "$full/frames"
printf 'older' >"$full/x.png"
limited() { (trap '' XFSZ && ulimit -f 8 && "$@"); } # 8 KiB; no signal, just EFBIG
limited render 1 --at 1 --png "$full/x.png"
said "cannot write '$full/x.png': File too large"
[ "$(cat "$full/x.png")" = older ] || fail "a failed picture changed the existing file"
limited render 1 --fps 2 --to 2 --frames "$full/frames"
said "cannot write '$full/frames/frame-00000.png': File too large"
[ -z "$(ls -A "$full/frames")" ] || fail "a failed frame left $(ls -A "$full/frames")"
no_temporaries "$full"
pass "a full disk: the file and the system's reason, the existing file kept"

# --- Frames into a folder that holds frames already ------------------------------------

frames=$work/frames
run_built "$RENDER" "${small[@]}" --wire --fps 10 --to 1 --frames "$frames" # unlike those below
before=$(cd "$frames" && md5sum frame-*)
render 2 "${small[@]}" --fps 10 --to 0.3 --frames "$frames"
said "--frames '$frames' already holds frames"
[ "$(cd "$frames" && md5sum frame-*)" = "$before" ] || fail "older frames were changed"
no_temporaries "$frames"
pass "a folder of older frames is refused, its frames untouched"

# --- Signals: ignored ones stay ignored; the others leave nothing ---------------------

signals=$work/signals
mkdir -p "$signals"
# start_video [ignored signals]: a long video in the background, once its
# temporary exists (the handlers are in place by then); $pid is the tool.
start_video() {
    ([ $# = 0 ] || trap '' "$@" && exec env "${BUILT_ENV[@]}" "$RENDER" "${small[@]}" --video \
        "$signals/v.mp4" 2>"$work/err") &
    pid=$!
    for _ in $(seq 200); do
        [ -n "$(ls -A "$signals")" ] && return
        sleep 0.05
    done
    fail "the video did not start"
}
# As nohup and a non-interactive shell's background job leave them.
start_video HUP INT
kill -HUP "$pid"
kill -INT "$pid"
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "an ignored SIGHUP or SIGINT ended the renderer"
kill -TERM "$pid"
status=0
wait "$pid" 2>/dev/null || status=$? # without the shell's notice of the signal
[ "$status" = 143 ] || fail "SIGTERM after ignored signals: status $status"
[ -z "$(ls -A "$signals")" ] || fail "SIGTERM left $(ls -A "$signals")"
start_video
kill -HUP "$pid"
status=0
wait "$pid" 2>/dev/null || status=$? # without the shell's notice of the signal
[ "$status" = 129 ] || fail "SIGHUP: status $status, not 129"
[ -z "$(ls -A "$signals")" ] || fail "SIGHUP left $(ls -A "$signals")"
pass "ignored SIGHUP and SIGINT stay ignored; SIGHUP and SIGTERM leave nothing"

# --- Memory and framebuffers the driver cannot give -----------------------------------

memory=$work/memory
mkdir -p "$memory"
printf 'older' >"$memory/x.png"
if [ "${SANITIZED:-0}" = 1 ]; then
    echo "skipped: an address-space limit (AddressSanitizer reserves terabytes of it)"
else
    # The frame's buffers do not fit in 600 MB of address space. Which of them
    # fails first (the renderer's copy of the frame, or the driver's
    # multisampled buffers) depends on how the space is laid out.
    (ulimit -v 600000 && render 1 --size 4096x4096 --samples 4 --at 1 --png "$memory/x.png")
    grep -qE "out of memory for a 4096x4096 frame|framebuffer of 4096x4096 .*out of memory" \
        "$work/err" || fail "out of memory: $(cat "$work/err")"
    [ "$(cat "$memory/x.png")" = older ] || fail "out of memory: the existing file changed"
    no_temporaries "$memory"
    pass "out of memory: one line naming what, status 1, the existing file kept"
fi
# faulty LIBRARY ARGS...: the tool with LIBRARY (tests/) preloaded, which
# must fail with status 1, one line, nothing on standard output and the
# existing file as it was.
faulty() {
    local preload=$BUILD_DIR/tests/$1 status=0
    shift
    [ "${SANITIZED:-0}" = 1 ] && preload="/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so $preload"
    env "${BUILT_ENV[@]}" LD_PRELOAD="$preload" "$RENDER" "$@" >"$work/out" 2>"$work/err" ||
        status=$?
    [ "$status" = 1 ] && [ "$(wc -l <"$work/err")" = 1 ] ||
        fail "$* with a fault: status $status, $(cat "$work/err")"
    [ ! -s "$work/out" ] || fail "$* with a fault wrote on standard output"
    [ "$(cat "$memory/x.png")" = older ] || fail "$* with a fault changed the existing file"
    no_temporaries "$memory"
}
faulty libfailing_renderbuffer.so "${small[@]}" --samples 4 --at 1 --png "$memory/x.png"
said "no multisampled framebuffer of 32x32 could be made"
pass "a multisampled framebuffer the driver cannot make: its message, status 1"
# The core's own failure (fatal) prints on standard output and exits -1.
faulty libfailing_mesh_arrays.so "${small[@]}" --pentagons 1 0 0.5 0 --at 1 --png "$memory/x.png"
said "couldn't allocate a vertex and/or face array (out of memory?)"
faulty libfailing_mesh_arrays.so "${small[@]}" --at 1 --png -
pass "shapes that cannot be allocated: the core's message on standard error, status 1"
