#!/bin/sh
# Regenerates the shipped workbooks in workbook/data/ from the .fods sources
# beside this script, with LibreOffice headless: 账单明细.xls, the program's
# workbook, and 对账单.xls, the statement template. Only needed after editing
# a source; the build uses the committed .xls files.
#
#   tools/workbook_source/make_workbook.sh                      # both
#   tools/workbook_source/make_workbook.sh 对账单.fods [out.xls] # one, anywhere
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

if ! command -v soffice >/dev/null 2>&1; then
    echo "make_workbook.sh: soffice not found (install libreoffice-calc-nogui)" >&2
    exit 1
fi

# A private profile and output folder, so that a running LibreOffice or a
# second conversion does not get in the way.
profile=/tmp/lanqi-lo-$$
outdir=$(mktemp -d)
trap 'rm -rf "$profile" "$outdir"' EXIT INT TERM

# convert SOURCE.fods TARGET.xls
convert() {
    source="$here/$(basename "$1")"
    target="$2"
    stem=$(basename "$source" .fods)
    soffice --headless -env:UserInstallation=file://$profile \
        --convert-to xls:"MS Excel 97" --outdir "$outdir" "$source" >"$outdir/log" 2>&1 || {
        cat "$outdir/log" >&2
        echo "make_workbook.sh: conversion of $stem failed" >&2
        exit 1
    }
    converted="$outdir/$stem.xls"
    if [ ! -s "$converted" ]; then
        cat "$outdir/log" >&2
        echo "make_workbook.sh: LibreOffice wrote no workbook for $stem" >&2
        exit 1
    fi
    mkdir -p "$(dirname "$target")"
    # Replace the target in one step: copy beside it, then rename over it.
    cp "$converted" "$target.tmp.$$"
    mv "$target.tmp.$$" "$target"
    echo "wrote $target"
}

if [ $# -eq 0 ]; then
    for source in 账单明细.fods 对账单.fods; do
        convert "$source" "$root/workbook/data/$(basename "$source" .fods).xls"
    done
else
    convert "$1" "${2:-$root/workbook/data/$(basename "$1" .fods).xls}"
fi
