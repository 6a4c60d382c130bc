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
# A new prefix is set up on first use; let that finish. Then Wine's own
# background programs are started here, away from any pipe: started by a
# test they would inherit its output and keep CTest waiting for its end.
WINEDEBUG=-all /usr/lib/wine/wine64 wineboot --init
/usr/lib/wine/wineserver -w
/usr/lib/wine/wineserver -p
WINEDEBUG=-all /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
cmake --build build-windows -j2
ctest --test-dir build-windows --output-on-failure -j2 "$@"
