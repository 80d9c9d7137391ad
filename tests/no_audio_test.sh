#!/usr/bin/env bash
# The start sound is a nicety: with no audio device, or with the sound file
# missing, key 'a' must still start the animation and 'q' still end the program
# cleanly. The real program runs in a window of its own X server; that it
# animates is seen from two screenshots a second apart, which must differ.
set -euo pipefail
source "$SOURCE_DIR/tests/script_env.sh"

work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT
start_xvfb

shot() { xwd -id "$1" -silent | convert xwd:- "png:$2"; }
differing_pixels() { compare -metric AE "$1" "$2" null: 2>&1 || true; }

# run_case NAME AUDIO_DRIVER WITH_SOUND_FILE
run_case() {
    local name=$1 driver=$2 with_file=$3
    local dir=$work/$name
    mkdir -p "$dir"
    if [ "$with_file" = yes ]; then
        mkdir -p "$dir/resources"
        if [ -f "$SOURCE_DIR/resources/vorsandi_02.wav" ]; then
            cp "$SOURCE_DIR/resources/vorsandi_02.wav" "$dir/resources/"
        else
            # Any valid WAV will do: one second of silence, 8-bit mono.
            python3 -c "import wave,sys; w=wave.open(sys.argv[1],'wb'); w.setnchannels(1); w.setsampwidth(1); w.setframerate(8000); w.writeframes(bytes([128])*8000); w.close()" \
                "$dir/resources/vorsandi_02.wav"
        fi
    fi
    (cd "$dir" && exec env "${BUILT_ENV[@]}" SDL_AUDIODRIVER="$driver" "$BUILD_DIR/geodesics" \
        >"$dir/out.txt" 2>&1) &
    pid=$!
    local w
    w=$(timeout 60 xdotool search --sync --onlyvisible --name '^Geodesics' | head -1)
    [ -n "$w" ] || { echo "$name: no window"; cat "$dir/out.txt"; return 1; }

    xdotool key --window "$w" a
    sleep 2
    shot "$w" "$dir/first.png"
    sleep 1
    shot "$w" "$dir/second.png"
    local moved
    moved=$(differing_pixels "$dir/first.png" "$dir/second.png")
    echo "$name: $moved pixels changed in one second after 'a'"

    xdotool keydown --window "$w" q
    local status=0
    for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    wait "$pid" || status=$?
    pid=""
    echo "$name: exit status $status"
    if [ "$status" -ne 0 ]; then cat "$dir/out.txt"; return 1; fi
    [ "${moved%%[^0-9]*}" -gt 1000 ] || { echo "$name: the scene did not animate"; return 1; }
}

run_case no-device nonexistent-driver yes
run_case no-file dummy no
