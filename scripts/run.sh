#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kelvane with its built-in synthesizer.
# Arguments are passed to the program (for example --midi-log midi.txt).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" build
exec "$top/build/bin/kelvane" "$@"
