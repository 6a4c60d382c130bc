#!/usr/bin/python3
"""Writes a seed workbook with xlwt: formulas that return text, numbers,
booleans and errors, Chinese strings, a date, merged cells and an empty
sheet.  Usage: xlwt_formulas.py OUT.xls"""
import datetime
import sys

import xlwt

book = xlwt.Workbook(encoding="utf-8")
bill = book.add_sheet("账单")
book.add_sheet("空表")
other = book.add_sheet("其它")
bold = xlwt.easyxf("font: bold on; align: horiz center")
date = xlwt.easyxf(num_format_str="YYYY-MM-DD")

bill.write_merge(0, 0, 0, 3, "木材检尺码单", bold)
for row, (name, price, count) in enumerate([("杉木", 1350.5, 3), ("松木", 980, 4), ("0012", 1200, 5)], 1):
    bill.write(row, 0, name)
    bill.write(row, 1, price)
    bill.write(row, 2, count)
    bill.write(row, 3, xlwt.Formula(f"B{row + 1}*C{row + 1}"))
    bill.write(row, 4, xlwt.Formula(f'IF(D{row + 1}>4000,"大","小")'))
    bill.write(row, 5, xlwt.Formula(f'A{row + 1}&"-"&TEXT(D{row + 1},"0.00")'))
bill.write(4, 3, xlwt.Formula("SUM(D2:D4)"))
bill.write(4, 4, xlwt.Formula("D5>10000"))
bill.write(4, 5, xlwt.Formula("1/0"))
bill.write(5, 0, datetime.date(2026, 12, 8), date)
bill.write(5, 1, "")
bill.write(5, 2, True)
bill.write(5, 5, xlwt.Formula("'其它'!A1&\"元\""))
other.write(0, 0, 12.5)
other.write(300, 40, "far")
book.save(sys.argv[1])
