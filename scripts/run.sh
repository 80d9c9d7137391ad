#!/usr/bin/env bash
# Builds the project and runs its main job.
set -euo pipefail
GEODESICS_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$GEODESICS_ROOT/scripts/packages.sh"
ensure_packages
build_tree "$GEODESICS_ROOT/build/normal" -DCMAKE_BUILD_TYPE=RelWithDebInfo
exec "$GEODESICS_ROOT/build/normal/tools/geodesic-report" "$@"
