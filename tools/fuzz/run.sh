#!/bin/sh
# Builds the workbook reader's fuzz target with clang (libFuzzer, address and
# undefined-behaviour sanitizers) and runs it on a copy of the seed corpus.
#   tools/fuzz/run.sh [seconds]        default 600
# Crashes land in build-fuzz/crashes/; the log in build-fuzz/fuzz.log.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${LANQI_FUZZ_DIR:-$root/build-fuzz}
seconds=${1:-600}
mkdir -p "$out/corpus" "$out/crashes"
cp -n "$root"/tests/workbook/corpus/* "$out/corpus/" 2>/dev/null || true

clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/workbook" -I"$root/calc" -I"$root/editing" -I"$root/tally" \
  "$here/xls_reader_fuzz.cpp" "$root"/workbook/atomic_file.cpp "$root"/workbook/biff_records.cpp \
  "$root"/workbook/biff_string.cpp "$root"/workbook/cfb_reader.cpp "$root"/workbook/cfb_writer.cpp \
  "$root"/workbook/desktop_show.cpp "$root"/workbook/record_stream.cpp \
  "$root"/workbook/system_error_text.cpp "$root"/workbook/typed_entry.cpp \
  "$root"/workbook/workbook_stream.cpp "$root"/workbook/xls_workbook.cpp \
  "$root"/calc/numeric_text.cpp -o "$out/xls_reader_fuzz"

cd "$out"
./xls_reader_fuzz -max_total_time="$seconds" -max_len=262144 -artifact_prefix=crashes/ \
  -print_final_stats=1 corpus 2>&1 | tee fuzz.log | grep -E 'DONE|pulse|NEW_FUNC|ERROR|SUMMARY|stat::' || true
