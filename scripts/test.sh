#!/usr/bin/env bash
# Builds the project twice (normal, and AddressSanitizer + UndefinedBehaviorSanitizer)
# and runs the whole test suite through CTest in each; the web page is built
# and tested in the normal build only. Installs missing Debian and npm
# packages first; starts a virtual X server when there is no display.
set -euo pipefail
GEODESICS_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$GEODESICS_ROOT/scripts/packages.sh"
ensure_packages $GEODESICS_ALL_PACKAGES
ensure_web_tools

if [ -z "${DISPLAY:-}" ]; then
    # -noreset: without it the server resets whenever its last client leaves,
    # and a test connecting during that reset fails to open the display.
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash "${BASH_SOURCE[0]}" "$@"
fi

cd "$GEODESICS_ROOT"
status=0
echo "== normal build =="
every_part=(-DGEODESICS_WINDOW=ON -DGEODESICS_RENDER=ON -DGEODESICS_TESTS=ON)
build_tree build/normal -DCMAKE_BUILD_TYPE=RelWithDebInfo "${every_part[@]}" -DGEODESICS_WEB=ON
(cd build/normal && ctest --output-on-failure -j 2 "$@") || status=1

echo "== sanitizer build (ASan + UBSan) =="
build_tree build/asan -DCMAKE_BUILD_TYPE=Debug -DGEODESICS_SANITIZE=ON "${every_part[@]}"
(cd build/asan && ctest --output-on-failure -j 2 "$@") || status=1

if [ $status -ne 0 ]; then
    echo "Some tests failed." >&2
fi
exit $status
