#!/bin/sh
# Regenerates workbook/data/账单明细.xls from 账单明细.fods beside this script,
# with LibreOffice headless. Only needed after editing the source; the build
# uses the committed .xls.
#
#   tools/workbook_source/make_workbook.sh [output.xls]
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source="$here/账单明细.fods"
target="${1:-$root/workbook/data/账单明细.xls}"

if ! command -v soffice >/dev/null 2>&1; then
    echo "make_workbook.sh: soffice not found (install libreoffice-calc-nogui)" >&2
    exit 1
fi

# A private profile and output folder, so that a running LibreOffice or a
# second conversion does not get in the way.
profile=/tmp/lanqi-lo-$$
outdir=$(mktemp -d)
trap 'rm -rf "$profile" "$outdir"' EXIT INT TERM

soffice --headless -env:UserInstallation=file://$profile \
    --convert-to xls:"MS Excel 97" --outdir "$outdir" "$source" >"$outdir/log" 2>&1 || {
    cat "$outdir/log" >&2
    echo "make_workbook.sh: conversion failed" >&2
    exit 1
}

converted="$outdir/账单明细.xls"
if [ ! -s "$converted" ]; then
    cat "$outdir/log" >&2
    echo "make_workbook.sh: LibreOffice wrote no workbook" >&2
    exit 1
fi

mkdir -p "$(dirname "$target")"
# Replace the target in one step: copy beside it, then rename over it.
cp "$converted" "$target.tmp.$$"
mv "$target.tmp.$$" "$target"
echo "wrote $target"
