#!/bin/sh
# Builds the workbook engine's fuzz target with clang (libFuzzer, address and
# undefined-behaviour sanitizers) and runs it on a copy of the seed corpus.
#   xls/tools/fuzz/run.sh [seconds]        default 600
# Crashes land in build-fuzz/crashes/; the log in build-fuzz/fuzz.log.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
out=${LANQI_FUZZ_DIR:-$root/build-fuzz}
seconds=${1:-600}
mkdir -p "$out/corpus" "$out/crashes"
cp -n "$root"/tests/xls/corpus/* "$out/corpus/" 2>/dev/null || true

cmake -S "$root" -B "$out/build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLANQI_FUZZ=ON -DLANQI_SANITIZE=ON -DLANQI_BUILD_UI=OFF -DLANQI_BUILD_TESTS=OFF \
  -DLANQI_BUILD_BENCH=OFF >/dev/null
cmake --build "$out/build" --target xls_reader_fuzz -j2

cd "$out"
build/xls/xls_reader_fuzz -max_total_time="$seconds" -max_len=262144 -artifact_prefix=crashes/ \
  -print_final_stats=1 corpus 2>&1 | tee fuzz.log | grep -E 'DONE|pulse|NEW_FUNC|ERROR|SUMMARY|stat::' || true
