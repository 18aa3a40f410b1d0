#!/usr/bin/env bash
# build.sh [BUILD_DIR [extra cmake options...]]: configures and builds Kelvane.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-build}
shift || true
cmake -S "$top" -B "$top/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$top/$dir" --parallel "$(nproc)"
