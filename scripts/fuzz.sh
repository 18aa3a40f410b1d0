#!/usr/bin/env bash
# fuzz.sh [--seconds N | --runs N]: builds the libFuzzer targets with clang in
# build-fuzz/ and fuzzes the preferences and performance-file decoders from
# their seed corpora.
# CI runs a few seconds; long runs are made by hand. New inputs go to a
# temporary folder, so the checked-in corpus never changes.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
limit=(-max_total_time=10)
case "${1:-}" in
  --seconds) limit=(-max_total_time="$2") ;;
  --runs) limit=(-runs="$2") ;;
  "") ;;
  *) echo "usage: fuzz.sh [--seconds N | --runs N]" >&2; exit 2 ;;
esac

cmake -S "$top" -B "$top/build-fuzz" -G Ninja -DKELVANE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
cmake --build "$top/build-fuzz" --parallel "$(nproc)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/preferences" "$work/performance"
cp "$top"/fuzz/corpus/preferences/* "$work/preferences"/
# kelvane.dat is 40 entries of at most 10 bytes; longer inputs only add a tail.
"$top/build-fuzz/bin/preferences_fuzzer" "${limit[@]}" -max_len=1024 -print_final_stats=1 \
  -artifact_prefix="$top/build-fuzz/" "$work/preferences"
cp "$top"/fuzz/corpus/performance/* "$work/performance"/
# Entries are up to 65535 bytes, so inputs may be long enough to hold some.
"$top/build-fuzz/bin/performance_file_fuzzer" "${limit[@]}" -max_len=200000 -print_final_stats=1 \
  -artifact_prefix="$top/build-fuzz/" "$work/performance"
