#!/bin/sh
# Builds the program and its tests with the address and undefined-behaviour
# sanitizers in build-sanitize/ and runs the whole suite there.
#   tools/sanitize.sh [ctest arguments, e.g. -L fast]
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build-sanitize -DLANQI_SANITIZE=ON -DLANQI_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
cmake --build build-sanitize -j2
ASAN_OPTIONS=${ASAN_OPTIONS:-detect_stack_use_after_return=1} \
LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$(pwd)/tools/lsan-suppressions.txt} \
UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1} \
  ctest --test-dir build-sanitize --output-on-failure -j2 "$@"
