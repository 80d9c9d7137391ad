#!/usr/bin/env bash
# Without an X display the program cannot open its window: it must say so and
# exit with status 1, not crash, hang or leak (the sanitized build checks leaks
# at that exit too, and a leak would change the status).
set -euo pipefail
source "$SOURCE_DIR/tests/script_env.sh"

out=$(mktemp)
trap 'rm -f "$out"' EXIT
status=0
(unset DISPLAY; run_built timeout 60 "$BUILD_DIR/geodesics") >"$out" 2>&1 || status=$?
echo "exit status $status: $(head -c 300 "$out")"
[ "$status" -eq 1 ] || { cat "$out"; exit 1; }
grep -q "failed to open display" "$out"
