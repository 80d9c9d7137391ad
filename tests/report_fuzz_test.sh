#!/usr/bin/env bash
# geodesic-report fed random command lines from a fixed seed: numbers of every
# size (subnormal, beyond float range, hundreds of digits, hexadecimal), NaN and
# infinity in every spelling, garbage, empty words, options known and unknown,
# too many and too few words. The tool must never crash or hang: it reports
# (status 0, something on standard output) or refuses (status 2, a reason on
# standard error), or, asked for a solid where the circles build no dome, says
# so (status 1). The sanitized build runs it under ASan and UBSan, whose
# findings end it with another status.
set -euo pipefail
source "$SOURCE_DIR/tests/script_env.sh"

tool=$BUILD_DIR/tools/geodesic-report
[ -x "$tool" ] || { echo "$tool not built"; exit 1; }
runs=${REPORT_FUZZ_RUNS:-500}
RANDOM=4242 # fixed seed: the same command lines every time

numbers=(0 -0 1 -1 0.5 -.5 .5 1. +1 2 -2 0.97531795 0.1 0.630991 3.14159265358979
    1e-45 1.4e-45 -1e-45 1e-38 1.17549435e-38 3.4028234e38 3.4028236e38 -3.5e38
    1e39 1e308 1e309 -1e400 1e-400 0x1p-149 0x1.fffffep127 0x1p128 -0x10 00001 1e+5
    123456789012345678901234567890 0.000000000000000000000000000000000000000001)
specials=(nan NaN NAN -nan +nan "nan(0x1)" "nan()" inf -inf +inf INF Inf infinity
    -Infinity INFINITY 1e999999 -1e999999)
garbage=("" " " "	" "1 2" " 1" "1 " 1, 1,5 1e 1e- e5 . - -- + 0x 0x1p 1..2 1e5.5 abc
    "%s%s%n" "\\x00" π "１" "1O" "-e" "--0" "-" "'" '"' "\\" "*" "\$HOME" "1;2")
options=(--format --format=text --format=json --format=svg --format= --format=xml
    "--format text" -h --help -x --unknown -- --format=JSON --FORMAT --intersections
    --dome --format=stl --format=obj --radius --radius=50 --radius=1e-300 --radius=nan
    --diameter --diameter=60 --diameter=1e3 --diameter=-1)

pick() { # pick ARRAY_NAME: one element, at random
    local -n pool=$1
    REPLY=${pool[RANDOM % ${#pool[@]}]}
}
random_number() { # digits, a point and an exponent of any size
    local s="" k n=$((1 + RANDOM % 30))
    (( RANDOM % 2 )) && s="-"
    for ((k = 0; k < n; ++k)); do s+=$((RANDOM % 10)); done
    (( RANDOM % 2 )) && s+=".$((RANDOM % 1000))"
    (( RANDOM % 2 )) && s+="e$(( (RANDOM % 801) - 400 ))"
    REPLY=$s
}
random_word() {
    case $((RANDOM % 10)) in
    0 | 1 | 2) pick numbers ;;
    3) random_number ;;
    4 | 5) pick specials ;;
    6 | 7) pick garbage ;;
    8) pick options ;;
    9) REPLY=$(head -c $((1 + RANDOM % 5000)) /dev/zero | tr '\0' "$((RANDOM % 10))") ;;
    esac
}

out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
declare -A statuses=()
for ((run = 0; run < runs; ++run)); do
    args=()
    if (( RANDOM % 3 == 0 )); then
        # Four numbers, so that the computation itself meets odd values; now
        # and then behind a format option.
        (( RANDOM % 2 )) && { pick options; args+=("$REPLY"); }
        for _ in 1 2 3 4; do
            case $((RANDOM % 3)) in
            0) pick numbers ;;
            1) random_number ;;
            2) pick specials ;;
            esac
            args+=("$REPLY")
        done
    else
        words=$((RANDOM % 9))
        for ((k = 0; k < words; ++k)); do random_word; args+=("$REPLY"); done
    fi

    status=0
    run_built timeout 60 "$tool" "${args[@]}" >"$out" 2>"$err" || status=$?
    statuses[$status]=$(( ${statuses[$status]:-0} + 1 ))
    shown=$(printf '%q ' "${args[@]}" | cut -c1-300)
    case $status in
    0)
        [ -s "$out" ] || { echo "run $run: status 0 but no output: $shown"; exit 1; }
        # The intersections' table and the JSON never show a non-finite number
        # (the value report prints what it computes, as it always has).
        if [[ " ${args[*]} " == *" --intersections "* || " ${args[*]} " == *json* ||
            " ${args[*]} " == *" --dome "* || " ${args[*]} " == *diameter* ]] &&
            grep -qiE '(^|[^a-z])(nan|inf)' "$out"; then
            echo "run $run: a non-finite number in the output of: $shown"
            exit 1
        fi
        ;;
    1) grep -q "^geodesic-report: no dome to write" "$err" ||
        { echo "run $run: status 1 for: $shown"; head -c 3000 "$err"; exit 1; } ;;
    2) [ -s "$err" ] || { echo "run $run: status 2 but no reason given: $shown"; exit 1; } ;;
    *)
        echo "run $run: status $status for: $shown"
        head -c 3000 "$err"
        exit 1
        ;;
    esac
done
echo "$runs command lines: $(for s in "${!statuses[@]}"; do echo -n "${statuses[$s]} with status $s; "; done)"
# A walk that never reached the computation, or never an error, tried too little.
[ "${statuses[0]:-0}" -ge 20 ] && [ "${statuses[2]:-0}" -ge 20 ]
