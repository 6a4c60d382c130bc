#!/bin/sh
# SQLite for the Windows build: Debian has no MinGW package of it, so its
# one-file form (sqlite3.c and sqlite3.h) is made from Debian's own source
# package, which tools/install-deps.sh --windows makes reachable. Made once;
# an existing sqlite3.c is kept.
#   tools/windows/sqlite.sh OUTPUT_FOLDER
set -e
out="$1"
[ -s "$out/sqlite3.c" ] && [ -s "$out/sqlite3.h" ] && exit 0
work="$out.work"
rm -rf "$work"
mkdir -p "$work" "$out"
cd "$work"
apt-get source sqlite3 >/dev/null
src="$(find . -mindepth 1 -maxdepth 1 -type d -name 'sqlite3-*' | head -n 1)"
cd "$src"
./configure >/dev/null
make sqlite3.c >/dev/null
cp sqlite3.c sqlite3.h "$out/"
cd "$out"
rm -rf "$work"
