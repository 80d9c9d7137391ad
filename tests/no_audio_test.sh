#!/usr/bin/env bash
# The start sound is a nicety. With no audio device, no sound file, a file that
# must be refused, or a sound that plays, key 'a' must still animate, nothing
# may be printed, and the program must end promptly on 'q' or Escape (status 0),
# on Ctrl+C (SIGINT, status 130) and on kill (SIGTERM, status 143). Each case
# runs the real program in a window of its own X server; that it animates is
# seen from two screenshots a moment apart, which must differ.
set -euo pipefail
source "$SOURCE_DIR/tests/script_env.sh"

# How long an ending may take: many times what a prompt exit needs, even on a
# busy machine or with the sanitized build checking for leaks on the way out,
# and far less than a hung one takes.
LIMIT=2 # seconds
[ "${SANITIZED:-0}" = 1 ] && LIMIT=5

work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null || true
    stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT
start_xvfb

shot() { xwd -id "$1" -silent | convert xwd:- "png:$2"; }
differing_pixels() { compare -metric AE "$1" "$2" null: 2>&1 || true; }
has_thread() { cat /proc/"$pid"/task/*/comm 2>/dev/null | grep -q "$1"; }

# picture_changes WINDOW DIR: whether two screenshots 0.3 s apart differ.
picture_changes() {
    shot "$1" "$2/one.png"
    sleep 0.3
    shot "$1" "$2/two.png"
    local n
    n=$(differing_pixels "$2/one.png" "$2/two.png")
    [ "${n%%[^0-9]*}" -gt 1000 ]
}

# run_case NAME DRIVER SOUND ENDING [VAR=value...]
#   DRIVER: an SDL_AUDIODRIVER, or "default" for none named;
#   SOUND: shipped, none, fifo, or a sample rate (a second of silence at it);
#   ENDING: q, Escape, INT or TERM.
run_case() {
    local name=$1 driver=$2 sound=$3 ending=$4
    shift 4
    local dir=$work/$name
    local wav=$dir/resources/vorsandi_02.wav
    mkdir -p "$dir/resources"
    case $sound in
    shipped) cp "$SOURCE_DIR/resources/vorsandi_02.wav" "$wav" ;;
    none) ;;
    fifo) mkfifo "$wav" ;;
    *) python3 -c "import wave,sys; r=int(sys.argv[2]); w=wave.open(sys.argv[1],'wb'); w.setnchannels(1); w.setsampwidth(1); w.setframerate(r); w.writeframes(bytes([128])*r); w.close()" \
        "$wav" "$sound" ;;
    esac
    local driver_env=(SDL_AUDIODRIVER="$driver")
    [ "$driver" = default ] && driver_env=(-u SDL_AUDIODRIVER)
    # A background job of a script starts with SIGINT ignored; a user's
    # program does not.
    (cd "$dir" && exec env --default-signal=INT,TERM "${driver_env[@]}" "${BUILT_ENV[@]}" "$@" \
        "$BUILD_DIR/geodesics" >"$dir/out.txt" 2>&1) &
    pid=$!
    local w
    w=$(timeout 60 xdotool search --sync --onlyvisible --pid "$pid" --name '^Geodesics' | head -1)
    [ -n "$w" ] || { echo "$name: no window"; cat "$dir/out.txt"; return 1; }
    # The start picture is still; once it moves, 'a' has been handled.
    for _ in $(seq 50); do picture_changes "$w" "$dir" || break; done
    xdotool key --window "$w" a 2>/dev/null
    local moving=no
    for _ in $(seq 30); do picture_changes "$w" "$dir" && { moving=yes; break; }; done
    [ $moving = yes ] || { echo "$name: the scene did not animate after 'a'"; return 1; }
    # The sound's loader finishes (the sound playing, or refused), and the
    # frames go on meanwhile.
    for _ in $(seq 100); do has_thread '^start sound$' || break; sleep 0.1; done
    ! has_thread '^start sound$' || { echo "$name: the sound's loader never finished"; return 1; }
    picture_changes "$w" "$dir" || { echo "$name: the scene stopped"; return 1; }
    if [ "$driver" = dummy ] && [ "$sound" = shipped ]; then
        has_thread '^SDLAudioP' || { echo "$name: the sound is not playing"; return 1; }
    fi

    local t0=${EPOCHREALTIME/./}
    case $ending in
    q | Escape) xdotool keydown --window "$w" "$ending" 2>/dev/null || true ;;
    *) kill -"$ending" "$pid" ;;
    esac
    while kill -0 "$pid" 2>/dev/null && ((${EPOCHREALTIME/./} - t0 < LIMIT * 1000000)); do sleep 0.02; done
    if kill -0 "$pid" 2>/dev/null; then
        echo "$name: still running $LIMIT s after $ending"
        return 1
    fi
    local ms=$(((${EPOCHREALTIME/./} - t0) / 1000)) status=0
    wait "$pid" || status=$?
    pid=""
    local expected=0
    [ "$ending" = INT ] && expected=130
    [ "$ending" = TERM ] && expected=143
    echo "$name: ended by $ending with status $status after $ms ms"
    [ "$status" -eq $expected ] || { echo "$name: expected status $expected"; cat "$dir/out.txt"; return 1; }
    [ ! -s "$dir/out.txt" ] || { echo "$name: printed:"; cat "$dir/out.txt"; return 1; }
}

run_case no-device nonexistent-driver shipped q
run_case no-file dummy none q
run_case playing dummy shipped q
run_case ctrl-c dummy shipped INT
run_case kill dummy shipped TERM
# Whatever this machine has; here, no sound card: ALSA's complaints stay unprinted.
run_case default-driver default shipped INT
run_case no-such-card alsa shipped Escape AUDIODEV=hw:9
# Refused: a FIFO would block its reader for ever, a device at 100 Hz the quit.
run_case fifo dummy fifo Escape
run_case 100-hz dummy 100 q
