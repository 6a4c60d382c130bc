#!/bin/sh
# Builds the workbook engine's fuzz target with clang (libFuzzer, address and
# undefined-behaviour sanitizers) and runs it on a copy of the seed corpus,
# widened by make_seeds.py from the shared corpus of real workbooks when it is
# beside the tree (its small files, those files saved again by LibreOffice,
# xlwt workbooks whose formulas return text).
#   xls/tools/fuzz/run.sh [seconds] [corpus folder]   default 600, ../shared/xls-corpus
# Crashes land in build-fuzz/crashes/; the log in build-fuzz/fuzz.log.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
out=${LANQI_FUZZ_DIR:-$root/build-fuzz}
seconds=${1:-600}
shared=${2:-$root/../../shared/xls-corpus}
[ -d "$shared" ] || shared=$root/../shared/xls-corpus
max_len=262144
mkdir -p "$out/corpus" "$out/crashes" "$out/seeds"
cp -n "$root"/tests/xls/corpus/*.xls "$out/corpus/" 2>/dev/null || true
if [ -d "$shared" ]; then
    [ -f "$out/seeds/.made" ] || { /usr/bin/python3 "$here/make_seeds.py" "$shared" "$out/seeds" &&
        touch "$out/seeds/.made"; }
    cp -n "$out"/seeds/*.xls "$out/corpus/" 2>/dev/null || true
fi

cmake -S "$root" -B "$out/build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLANQI_FUZZ=ON -DLANQI_SANITIZE=ON -DLANQI_BUILD_UI=OFF -DLANQI_BUILD_TESTS=OFF \
  -DLANQI_BUILD_BENCH=OFF >/dev/null
cmake --build "$out/build" --target xls_reader_fuzz -j2

cd "$out"
build/xls/xls_reader_fuzz -max_total_time="$seconds" -max_len=$max_len -artifact_prefix=crashes/ \
  -print_final_stats=1 corpus 2>&1 | tee fuzz.log | grep -E 'DONE|pulse|NEW_FUNC|ERROR|SUMMARY|stat::' || true
