#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: once in the
# ordinary build, once under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"

export QT_QPA_PLATFORM=offscreen
export SDL_AUDIODRIVER=dummy

"$top/scripts/build.sh" build
ctest --test-dir "$top/build" --output-on-failure --timeout 300
# Install, run from the install, validate the desktop files, build and lint the package.
"$top/scripts/check-install.sh" build

# The sanitizer build skips the benchmarks: they measure the ordinary build.
"$top/scripts/build.sh" build-asan -DKELVANE_SANITIZE=ON -DKELVANE_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$top/build-asan" --output-on-failure --timeout 600

# A short fuzz run of the performance-file decoder in its own clang tree.
"$top/scripts/fuzz.sh" --seconds 10
