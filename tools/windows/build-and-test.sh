#!/bin/sh
# The Windows build: everything but the window, cross-compiled for 64-bit
# Windows with MinGW-w64 in build-windows/, its tests run under Wine, and the
# bill written by lanqi-tally.exe read back by LibreOffice and xlrd.
#   tools/windows/build-and-test.sh [ctest arguments, e.g. -L fast]
set -e
cd "$(dirname "$0")/../.."
tools/install-deps.sh --windows
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=tools/windows/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DLANQI_BUILD_UI=OFF -DLANQI_BUILD_BENCH=OFF \
    -DLANQI_GTEST_SOURCE=/usr/src/googletest
# Wine keeps its Windows folders in the build folder; one server for the run
# saves starting it for every test.
WINEPREFIX="$(pwd)/build-windows/wine"
export WINEPREFIX
mkdir -p "$WINEPREFIX"
/usr/lib/wine/wineserver -p
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
cmake --build build-windows -j2
ctest --test-dir build-windows --output-on-failure -j2 "$@"
