#!/usr/bin/env bash
# Every product C++ file (everything but the tests) reads as .clang-format
# describes it, so that formatting on save changes nothing. Fails naming each
# file that drifts; `clang-format -i FILE` mends it.
set -euo pipefail
cd "$SOURCE_DIR"
command -v clang-format >/dev/null || { echo "FAIL: clang-format is not installed" >&2; exit 1; }

mapfile -t files < <(find basicsource support objects mathematics documents offscreen recorder tools web/wasm web \
    bench -maxdepth 2 -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -not -path '*/node_modules/*' | sort -u)
[ ${#files[@]} -gt 50 ] || { echo "FAIL: only ${#files[@]} files found in $SOURCE_DIR" >&2; exit 1; }

drifted=0
for f in "${files[@]}"; do
    if ! clang-format --dry-run -Werror "$f" >/dev/null 2>&1; then
        echo "FAIL: $f is not formatted as .clang-format says (clang-format -i $f)" >&2
        drifted=$((drifted + 1))
    fi
done
[ "$drifted" -eq 0 ] || exit 1
echo "all ${#files[@]} product C++ files are formatted as .clang-format says"
