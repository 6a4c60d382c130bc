#!/usr/bin/python3
"""The bill written by the Windows lanqi-tally.exe, read back on Linux.

    check_bill.py WINE LANQI_TALLY_EXE SHIPPED_WORKBOOK TALLY_FILE

Under Wine, lanqi-tally.exe writes the tally's bill into a copy of the shipped
workbook in a folder with a Chinese name. xlrd and LibreOffice then read the
bill sheet: both must see the same cells, and the tally's figures as the
program printed them.
"""
import csv
import os
import shutil
import subprocess
import sys
import tempfile

import xlrd

BILL_SHEET = "原木一"
# Formula cells whose result the spreadsheet works out when it opens the bill
# (the amount in words); xlrd reads the result last saved with the file.
FORMULA_CELLS = {(34, 10)}


def number_text(value):
    """A cell's value as the program writes numbers: no trailing zeros."""
    if isinstance(value, float):
        return str(int(value)) if value.is_integer() else repr(value)
    return str(value)


def same_value(a, b):
    try:
        return float(a) == float(b)
    except ValueError:
        return a == b


def write_bill(wine, exe, workbook, tally):
    out = subprocess.run([wine, exe, "--csv", "--bill", workbook, tally], check=True,
                         capture_output=True, env=dict(os.environ, WINEDEBUG="-all"))
    rows = list(csv.reader(out.stdout.decode("utf-8").splitlines()))
    return {name: text for name, text in rows[1:]}


def read_with_xlrd(workbook):
    sheet = xlrd.open_workbook(workbook).sheet_by_name(BILL_SHEET)
    cells = {}
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            text = number_text(sheet.cell_value(r, c))
            if text:
                cells[(r + 1, c + 1)] = text
    return cells


def read_with_libreoffice(workbook, scratch):
    profile = os.path.join(scratch, "profile")
    out = os.path.join(scratch, "csv")
    subprocess.run(["soffice", "-env:UserInstallation=file://" + profile, "--headless",
                    "--norestore", "--nolockcheck", "--convert-to",
                    "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1",
                    "--outdir", out, workbook], check=True, capture_output=True,
                   env=dict(os.environ, HOME=profile))
    stem = os.path.splitext(os.path.basename(workbook))[0]
    cells = {}
    with open(os.path.join(out, stem + "-" + BILL_SHEET + ".csv"), encoding="utf-8",
              newline="") as f:
        for r, row in enumerate(csv.reader(f), 1):
            for c, value in enumerate(row, 1):
                if value:
                    cells[(r, c)] = value
    return cells


def main(wine, exe, shipped, tally):
    scratch = tempfile.mkdtemp(prefix="lanqi-windows-bill-")
    try:
        folder = os.path.join(scratch, "澜栖 账单")
        os.makedirs(folder)
        workbook = os.path.join(folder, "账单明细.xls")
        shutil.copyfile(shipped, workbook)
        fields = write_bill(wine, exe, workbook, tally)
        by_xlrd = read_with_xlrd(workbook)
        by_libreoffice = read_with_libreoffice(workbook, scratch)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)

    faults = []
    for cell in sorted((set(by_xlrd) | set(by_libreoffice)) - FORMULA_CELLS):
        a, b = by_xlrd.get(cell, ""), by_libreoffice.get(cell, "")
        if not same_value(a, b):
            faults.append("cell %s: xlrd reads %r, LibreOffice %r" % (cell, a, b))
    # The grand amount and the first tally row, as the program printed them.
    expected = {(34, 7): fields.get("Text31(6)"), (6, 1): fields.get("Text1(0)"),
                (6, 2): fields.get("Text2(0)")}
    for cell, text in expected.items():
        for reader, cells in (("xlrd", by_xlrd), ("LibreOffice", by_libreoffice)):
            if text is None or not same_value(cells.get(cell, ""), text):
                faults.append("cell %s: %s reads %r, the tally says %r"
                              % (cell, reader, cells.get(cell), text))
    if len(by_xlrd) < 100:
        faults.append("only %d cells on the bill" % len(by_xlrd))
    for fault in faults:
        print(fault)
    print("%d cells of the bill read alike by xlrd and LibreOffice; %d faults"
          % (len(by_xlrd), len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
