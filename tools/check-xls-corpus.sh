#!/bin/sh
# Tries the workbook engine on real workbooks that other programs made: each
# file opens or is refused with a reason; each that opens takes bill-like
# writes and is saved, and the saved copy is read by the engine, Apache POI,
# xlrd and (every 15th) LibreOffice. Prints the counts; exits non-zero when
# anything failed. Details land in the work folder.
#   tools/check-xls-corpus.sh [--sanitize] [--engine-only | --no-xlrd | --formulas] [CORPUS] [WORK]
# CORPUS defaults to ../shared/xls-corpus beside the work tree, WORK to
# build-corpus/check. --sanitize builds the driver with the address and
# undefined-behaviour sanitizers (and implies --engine-only unless peers are
# wanted explicitly with --peers).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
sanitize=0
peers=""
extra=""
while [ $# -gt 0 ]; do
    case "$1" in
    --sanitize) sanitize=1 ;;
    --engine-only) peers="--engine-only" ;;
    --peers) peers="keep" ;;
    --no-xlrd) extra="$extra --no-xlrd" ;;
    --formulas) extra="$extra --formulas" ;;
    *) break ;;
    esac
    shift
done
corpus=${1:-$root/../../shared/xls-corpus}
[ -d "$corpus" ] || corpus=$root/../shared/xls-corpus
timeout=60
if [ $sanitize = 1 ]; then
    build=$root/build-corpus-sanitize
    cmake -S "$root" -B "$build" -DLANQI_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DLANQI_BUILD_UI=OFF \
      -DLANQI_BUILD_TESTS=OFF -DLANQI_BUILD_BENCH=OFF >/dev/null
    timeout=300
    [ -z "$peers" ] && peers="--engine-only"
else
    build=$root/build-corpus
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLANQI_BUILD_UI=OFF \
      -DLANQI_BUILD_TESTS=OFF -DLANQI_BUILD_BENCH=OFF >/dev/null
fi
[ "$peers" = keep ] && peers=""
cmake --build "$build" --target corpus_check -j2 >/dev/null
work=${2:-$build/check}
ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
  /usr/bin/python3 "$root/tools/check_xls_corpus.py" --driver "$build/xls/corpus_check" \
  --corpus "$corpus" --work "$work" --timeout $timeout $peers $extra
