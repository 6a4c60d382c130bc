"""Bills kept in the ledger come back as they were printed.

Writes bills with `lanqi-tally --bill` into a copy of the shipped workbook,
keeping the workbook after each; then `--ledger … show` of each bill, fed
back to `--bill` on a fresh copy, must write a bill that xlrd reads cell for
cell like the first (the serial cell aside, which holds the bill's own
serial). Then the statement of all of them must add up.

    ledger_round_trip.py LANQI_TALLY SHIPPED_WORKBOOK TALLY_FILE...
"""
import os
import shutil
import subprocess
import sys
import tempfile
from decimal import Decimal

try:
    import xlrd
except ImportError:
    if os.environ.get("CI"):
        sys.exit("python3-xlrd is not installed, and CI is set")
    print("python3-xlrd is not installed")
    sys.exit(77)

TOOL, SHIPPED, TALLIES = sys.argv[1], sys.argv[2], sys.argv[3:]
BILL_SHEET = "原木一"

# A tally of texts the tally file must carry through: a supplier and his
# contact, remarks over several lines with commas, numbers typed with
# decimals.
HARD_TALLY = """# 两行备注
party,供货商:
buyer,松江木材厂
detail,联系人:
vehicle,王师傅
scaler,李春林
species,樟子松
remarks,第一行，有逗号, 和空格
remarks+,第二行
remarks+,
length,1,3.8
length,2,4
bound,1,15
price,3,1288.5
row,1,1,16,3
row,1,20,38,1
row,2,5,20.5,2
row,4,7,44,12
"""


def run(*args):
    done = subprocess.run([TOOL, *args], capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"{' '.join(args)} failed ({done.returncode}): {done.stderr}")
    return done.stdout


def bill_cells(path):
    book = xlrd.open_workbook(path)
    sheet = book.sheet_by_name(BILL_SHEET)
    cells = {}
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            cells[(r, c)] = (cell.ctype, cell.value)
    named = book.name_map["单号"][0].area2d()
    return cells, (named[1], named[3])


def main():
    work = tempfile.mkdtemp(prefix="lanqi-round-trip-")
    try:
        hard = os.path.join(work, "hard.tally")
        with open(hard, "w", encoding="utf-8") as f:
            f.write(HARD_TALLY)
        tallies = TALLIES + [hard]
        first = os.path.join(work, "first")
        os.mkdir(first)
        workbook = os.path.join(first, "账单明细.xls")
        shutil.copy(SHIPPED, workbook)
        printed = []
        for i, tally in enumerate(tallies):
            run("--bill", workbook, tally)
            kept = os.path.join(work, f"printed{i}.xls")
            shutil.copy(workbook, kept)
            printed.append(kept)

        listing = run("--ledger", workbook, "list", "--csv").splitlines()
        serials = [line.split(",")[0] for line in listing[1:]][::-1]  # oldest first
        assert len(serials) == len(tallies), listing

        for serial, original in zip(serials, printed):
            show = os.path.join(work, serial + ".tally")
            with open(show, "w", encoding="utf-8") as f:
                f.write(run("--ledger", workbook, "show", serial))
            again_dir = os.path.join(work, "again-" + serial)
            os.mkdir(again_dir)
            again = os.path.join(again_dir, "账单明细.xls")
            shutil.copy(SHIPPED, again)
            run("--bill", again, show)

            want, serial_cell = bill_cells(original)
            got, _ = bill_cells(again)
            assert want[serial_cell] == (xlrd.XL_CELL_TEXT, serial), (serial, want[serial_cell])
            for key in set(want) | set(got):
                if key == serial_cell:
                    continue
                empty = (xlrd.XL_CELL_EMPTY, "")
                a, b = want.get(key, empty), got.get(key, empty)
                if a != b and not (a[1] == "" and b[1] == ""):
                    sys.exit(f"{serial}: cell {xlrd.cellname(*key)}: printed {a!r}, again {b!r}")

        statement = os.path.join(work, "对账单.xls")
        run("--ledger", workbook, "statement", statement)
        sheet = xlrd.open_workbook(statement).sheet_by_name("对账单")
        rows = [r for r in range(5, sheet.nrows) if sheet.cell_value(r, 0)]
        assert len(rows) == len(tallies) == sheet.cell_value(2, 1), rows
        for column, places in ((5, 0), (6, 4), (7, 2)):
            total = sum(Decimal(repr(sheet.cell_value(r, column))) for r in rows)
            shown = Decimal(repr(sheet.cell_value(2, column)))
            quantum = Decimal(1).scaleb(-places)
            assert total.quantize(quantum) == shown.quantize(quantum), (column, total, shown)
        print(f"{len(serials)} bills came back cell for cell; the statement adds up")
    finally:
        shutil.rmtree(work, ignore_errors=True)


main()
