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

# The sanitizer build skips the benchmarks: they measure the ordinary build.
"$top/scripts/build.sh" build-asan -DKELVANE_SANITIZE=ON -DKELVANE_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$top/build-asan" --output-on-failure --timeout 600

# A short run of the preferences fuzzer, built with clang (long runs by hand,
# as the README says). Only the fuzz target and what it links are built.
CC=clang CXX=clang++ cmake -S "$top" -B "$top/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKELVANE_FUZZ=ON -DKELVANE_BUILD_TESTS=OFF -DKELVANE_BUILD_BENCH=OFF
cmake --build "$top/build-fuzz" --target preferences_fuzz
mkdir -p "$top/build-fuzz/corpus"
"$top/build-fuzz/bin/preferences_fuzz" -max_total_time=10 -print_final_stats=1 \
  "$top/build-fuzz/corpus" "$top/fuzz/corpus/preferences"
