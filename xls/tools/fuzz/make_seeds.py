#!/usr/bin/python3
"""Widens the fuzz target's seeds in a folder: the small workbooks of a
corpus of real files, the same files saved again by LibreOffice (so that
every record LibreOffice writes is there), and workbooks made by xlwt with
formulas whose results are text.
    make_seeds.py CORPUS OUT [--max-size BYTES]
Needs soffice (LibreOffice) and python3-xlwt; skips what is missing."""
import argparse
import glob
import os
import shutil
import subprocess
import tempfile


def xlwt_seeds(out):
    try:
        import xlwt
    except ImportError:
        print("python3-xlwt is not installed: no xlwt seeds")
        return
    for variant in range(3):
        book = xlwt.Workbook(encoding="utf-8")
        sheet = book.add_sheet("购销资料")
        bill = book.add_sheet("原木一")
        bold = xlwt.easyxf("font: bold on; align: horiz center")
        text = xlwt.easyxf(num_format_str="@")
        for r in range(40 + 200 * variant):
            sheet.write(r, 0, "名称%d" % r)
            sheet.write(r, 1, r * 1.25)
            sheet.write(r, 2, xlwt.Formula('A%d&"-"&B%d' % (r + 1, r + 1)))
            sheet.write(r, 3, xlwt.Formula('IF(B%d>10;"大";"小")' % (r + 1)))
            sheet.write(r, 4, xlwt.Formula("B%d*2" % (r + 1)))
        sheet.write(0, 6, "x" * (9000 if variant else 300))  # a string over a record
        sheet.write(1, 6, "007", text)
        bill.write_merge(0, 0, 0, 5, "木材账单", bold)
        bill.write(1, 0, xlwt.Formula('CONCATENATE("共";购销资料!B2;"件")'))
        bill.write(2, 0, xlwt.Formula('UPPER("abc")'))
        bill.write(3, 0, xlwt.Formula("SUM(购销资料!B1:B40)"))
        bill.write(4, 0, xlwt.Formula('IF(1>2;1;"")'))  # an empty text result
        bill.write(5, 0, xlwt.Formula("1/0"))
        bill.write(6, 0, True)
        bill.col(0).width = 6000
        bill.row(3).height_mismatch = True
        bill.row(3).height = 600
        if variant == 2:
            book.add_sheet("空")
        book.save(os.path.join(out, "xlwt_text_formulas_%d.xls" % variant))


def libreoffice_seeds(files, out):
    if not shutil.which("soffice"):
        print("soffice is not installed: no LibreOffice seeds")
        return
    with tempfile.TemporaryDirectory() as tmp:
        profile = os.path.join(tmp, "profile")
        conv = os.path.join(tmp, "conv")
        os.makedirs(conv)
        for k in range(0, len(files), 20):  # one start-up for many files
            try:
                subprocess.run(["soffice", "-env:UserInstallation=file://" + profile, "--headless",
                                "--norestore", "--nolockcheck", "--convert-to", "xls",
                                "--outdir", conv] + files[k:k + 20], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, timeout=600)
            except subprocess.TimeoutExpired:
                continue
        for f in glob.glob(os.path.join(conv, "*.xls")):
            shutil.copy(f, os.path.join(out, "libreoffice_" + os.path.basename(f)))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("corpus")
    ap.add_argument("out")
    ap.add_argument("--max-size", type=int, default=65536)
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    small = [f for f in sorted(glob.glob(os.path.join(args.corpus, "*.xls")))
             if os.path.getsize(f) <= args.max_size]
    for f in small:
        shutil.copy(f, os.path.join(args.out, os.path.basename(f)))
    xlwt_seeds(args.out)
    libreoffice_seeds(small, args.out)
    print("%d seeds in %s" % (len(os.listdir(args.out)), args.out))


if __name__ == "__main__":
    main()
