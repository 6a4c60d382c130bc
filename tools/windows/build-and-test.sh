#!/bin/sh
# The Windows build: the window lanqi.exe, lanqi-tally.exe and the tests,
# cross-compiled for 64-bit Windows with MinGW-w64 in build-windows/, the tests
# run under Wine (the window's on a virtual display), the bill written by the
# Windows programs read back by LibreOffice and xlrd, and the packages made.
#   tools/windows/build-and-test.sh [ctest arguments, e.g. -L fast]
set -e
cd "$(dirname "$0")/../.."
tools/install-deps.sh --windows
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=tools/windows/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DLANQI_BUILD_UI=ON -DLANQI_BUILD_BENCH=OFF \
    -DLANQI_GTEST_SOURCE=/usr/src/googletest
# Wine keeps its Windows folders in the build folder, made afresh for each
# run; one server for the run saves starting it for every test.
WINEPREFIX="$(pwd)/build-windows/wine"
export WINEPREFIX
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
# A new prefix is set up on first use; let that finish. Then Wine's own
# background programs are started here, away from any pipe: started by a
# test they would inherit its output and keep CTest waiting for its end.
WINEDEBUG=-all $wine wineboot --init
$wineserver -w
$wineserver -p
WINEDEBUG=-all $wine wineboot </dev/null >/dev/null 2>&1

# The window's tests run on a virtual display of their own. Wine's server
# goes first when the run ends, then the display.
display_file="$(pwd)/build-windows/display"
rm -f "$display_file"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb=$!
trap '$wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
DISPLAY=":$(cat "$display_file")"
export DISPLAY

cmake --build build-windows -j2

# The test prefix only: the Windows font names the window asks for, shown in
# Debian's Chinese font, and .xls files "opened" by the tests' probe, which
# notes what it was given.
probe="$(WINEDEBUG=-all $wine winepath -w build-windows/tests/win32/control_probe.exe)"
python3 - "$(pwd)/build-windows/wine-test.reg" "$probe" <<'PY'
import sys
font = "WenQuanYi Micro Hei"
names = ["宋体", "SimSun", "NSimSun", "Tahoma", "MS Shell Dlg", "MS Shell Dlg 2",
         "Microsoft YaHei UI", "Segoe UI"]
probe = sys.argv[2].replace("\\", "\\\\")
lines = ["Windows Registry Editor Version 5.00", "",
         r"[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]"]
lines += ['"%s"="%s"' % (n, font) for n in names]
lines += ["", r"[HKEY_CLASSES_ROOT\.xls]", '@="lanqi.testsheet"', "",
          r"[HKEY_CLASSES_ROOT\lanqi.testsheet\shell\open\command]",
          '@="\\"%s\\" opened \\"%%1\\""' % probe, ""]
open(sys.argv[1], "w", encoding="utf-16").write("\r\n".join(lines))
PY
WINEDEBUG=-all $wine regedit "$(WINEDEBUG=-all $wine winepath -w build-windows/wine-test.reg)"

ctest --test-dir build-windows --output-on-failure -j2 "$@"
