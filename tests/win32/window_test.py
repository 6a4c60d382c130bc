#!/usr/bin/python3
"""lanqi.exe under Wine on the virtual display of the Windows test run.

    window_test.py CASE BUILD SOURCE

BUILD is the Windows build folder (lanqi.exe, control_probe.exe), SOURCE the
source folder (the shipped workbook, the bill checks). The program runs from
a folder of its own with a Chinese name; keys and clicks are real X events
(xdotool); what the window shows is read back from its controls by
control_probe.exe. Needs DISPLAY and WINEPREFIX as tools/windows/build-and-test.sh
sets them; without a display the case is skipped (exit 77).
"""
import datetime
import os
import random
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import time

WINE = "/usr/lib/wine/wine64"
SKIPPED = 77
TICK = 0.7  # the recalculation's interval, in seconds


class Fault(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Fault(what)


class Control:
    def __init__(self, fields):
        self.name, self.cls = fields[0], fields[1]
        self.rect = tuple(int(v) for v in fields[2].split(","))
        self.visible, self.focused = fields[3] == "1", fields[4] == "1"
        self.text = fields[5] if len(fields) > 5 else ""
        self.count = int(fields[6]) if len(fields) > 6 else None
        self.selected = int(fields[7]) if len(fields) > 7 else None


class Lanqi:
    """One running copy of lanqi.exe in its own folder."""

    def __init__(self, build, folder):
        self.build, self.folder = build, folder
        self.exe = os.path.join(folder, "lanqi.exe")
        self.process = None
        self.x_window = None

    def probe(self, *args, check_rc=True):
        try:
            out = subprocess.run([WINE, os.path.join(self.build, "tests/win32/control_probe.exe")]
                                 + list(args), capture_output=True, timeout=30,
                                 env=dict(os.environ, WINEDEBUG="-all"))
        except subprocess.TimeoutExpired:
            check(not check_rc, "control_probe %s took over 30 s" % " ".join(args))
            return 124, ""
        text = out.stdout.decode("utf-8", "replace")
        if check_rc and out.returncode != 0:
            raise Fault("control_probe %s: %s" % (" ".join(args), text.strip()))
        return out.returncode, text

    def start(self):
        self.process = subprocess.Popen([WINE, self.exe], cwd=self.folder,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                        env=dict(os.environ, WINEDEBUG="-all"))
        self.x_window = None
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            rc, focus = self.probe("focus", check_rc=False)
            # Shown, and the focus where the program puts it at start.
            if rc == 0 and focus.strip():
                self.focus_window()
                return self
            check(self.process.poll() is None, "lanqi.exe ended at start")
            time.sleep(0.2)
        raise Fault("no window within 60 s")

    def focus_window(self):
        """Gives the window the X input focus (there is no window manager)."""
        if not self.x_window:
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^澜栖$"],
                                   capture_output=True, text=True).stdout.split()
            check(found, "no X window named 澜栖")
            self.x_window = found[-1]
        subprocess.run(["xdotool", "windowfocus", "--sync", self.x_window], timeout=10)

    def stop(self):
        # Wine runs the program in a process of its own; the probe ends it.
        self.probe("end", check_rc=False)
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=30)

    def controls(self, *names):
        """Every control, or those named."""
        lines = self.probe("dump", *names)[1].splitlines()
        return {c.name: c for c in (Control(l.split("\t")) for l in lines[1:])}

    def form(self):
        return self.probe("dump")[1].splitlines()[0].split("\t")

    def text(self, name):
        return self.controls(name)[name].text

    def focused(self):
        return self.probe("focus")[1].strip()

    def keys(self, *keys, repeat=1, delay=15):
        self.focus_window()
        subprocess.run(["xdotool", "key", "--delay", str(delay), "--repeat", str(repeat)]
                       + list(keys), check=True, timeout=120)
        time.sleep(0.2)

    def key_line(self, line):
        """Keys as a scaler presses them, in one line: digits and '.', E Enter,
        B BackSpace, U Up, D Down."""
        names = {"E": "Return", "B": "BackSpace", "U": "Up", "D": "Down", ".": "period"}
        self.keys(*[names.get(k, k) for k in line], delay=25)

    def type(self, text):
        self.focus_window()
        subprocess.run(["xdotool", "type", "--delay", "30", text], check=True, timeout=60)
        time.sleep(0.1)

    def click(self, name, takes_focus=False):
        """A click in the middle of a control; with takes_focus, returns once
        the control has the focus."""
        x, y = self.probe("where", name)[1].split()
        subprocess.run(["xdotool", "mousemove", x, y, "sleep", "0.1", "click", "1"], check=True,
                       timeout=10)
        time.sleep(0.3)
        for _ in range(15 if takes_focus else 0):
            if self.focused() == name:
                return
            time.sleep(0.2)
        check(not takes_focus, "a click on %s gave it no focus" % name)

    def enter(self, name, text):
        """Clicks into a field and types `text` over whatever it holds."""
        self.click(name, takes_focus=True)
        self.keys("End")
        self.keys("shift+Home")
        self.type(text)

    def pick_next(self, name):
        """Opens a list with F4 and picks the entry after the selected one with Down and Enter."""
        self.click(name, takes_focus=True)
        self.keys("F4")
        self.keys("Down")
        self.keys("Return")

    def dialogs(self):
        return [l.split("\t") for l in self.probe("dialogs")[1].splitlines() if l]

    def wait_dialog(self, words, seconds=10):
        for _ in range(int(seconds / 0.2)):
            for d in self.dialogs():
                if any(words in t for t in d):
                    return d
            time.sleep(0.2)
        raise Fault("no message saying %r; shown: %r" % (words, self.dialogs()))

    def answer(self, choice):
        self.probe("answer", choice)
        time.sleep(0.3)

    def ticks(self, n):
        time.sleep(TICK * n + 0.3)


class Session:
    """lanqi.exe and the shipped workbook in a new folder with a Chinese
    name, started; ended and removed afterwards."""

    def __init__(self, source, build):
        self.scratch = tempfile.mkdtemp(prefix="lanqi-window-")
        folder = os.path.join(self.scratch, "澜栖 检尺")
        os.makedirs(folder)
        shutil.copyfile(os.path.join(source, "workbook/data/账单明细.xls"),
                        os.path.join(folder, "账单明细.xls"))
        shutil.copy(os.path.join(build, "ui/win32/lanqi.exe"), folder)
        self.window = Lanqi(build, folder)

    def __enter__(self):
        return self.window.start()

    def __exit__(self, *exc):
        self.window.stop()
        shutil.rmtree(self.scratch, ignore_errors=True)


# The worked tally: block 1 with log length 4, 20 cm x 3, 30 cm x 9 and
# 12 cm x 2; bounds 14, 20, 26, 32, 38; prices 1000 and 1200 in grading rows 2 and 3.
WORKED_FIELDS = [("Text25(0)", "4"), ("Text1(0)", "20"), ("Text1(1)", "30"), ("Text1(2)", "12"),
                 ("Text26(1)", "14"), ("Text26(2)", "20"), ("Text26(3)", "26"),
                 ("Text26(4)", "32"), ("Text26(5)", "38"), ("Text30(2)", "1000"),
                 ("Text30(3)", "1200")]
WORKED_COUNTS = ["3", "9", "2"]
WORKED_RESULTS = {"Text3(0)": "0.480", "Text3(1)": "3.096", "Text3(2)": "0.124",
                  "Text2(20)": "14", "Text3(20)": "3.7000", "Text28(0)": "2",
                  "Text29(0)": "0.1240", "Text28(2)": "3", "Text29(2)": "0.4800",
                  "Text31(2)": "480.00", "Text28(3)": "9", "Text29(3)": "3.0960",
                  "Text31(3)": "3715.20", "Text28(6)": "14", "Text29(6)": "3.7000",
                  "Text31(6)": "4195.20", "Text28(1)": "", "Text31(1)": ""}


# What clear-counts empties of the worked tally, two ticks on.
CLEARED_BY_COUNTS = ("Text2(0)", "Text2(1)", "Text3(0)", "Text2(20)", "Text3(20)", "Text28(2)",
                     "Text31(3)", "Text28(6)", "Text29(6)", "Text31(6)")
SLOT_LISTS = ("Combo1", "Combo5", "Combo6", "Combo7", "Combo8", "Combo9", "Combo10", "Combo11",
              "Combo13")


def key_worked_tally(w):
    """Clears the stored sheet, then keys the worked tally in."""
    w.click("Command4")
    w.ticks(2)
    # The counts from the first field, as the scaler keys them: Enter between.
    w.click("Text2(0)", takes_focus=True)
    for count in WORKED_COUNTS:
        w.type(count)
        w.keys("Return")
    for name, text in WORKED_FIELDS:
        w.enter(name, text)
    w.keys("Return")


def case_layout(source, build):
    """Every control of the table at its place; the initial texts and lists; the move."""
    with Session(source, build) as w:
        rc, report = w.probe("layout", check_rc=False)
        check(rc == 0, "controls out of place:\n" + report)
        w.ticks(1)
        c = w.controls()
        check(c["Combo4"].text == "购货商:" and c["Combo4"].count == 2, "Combo4: %r" % c["Combo4"].text)
        check(c["Combo2"].text == "运输车号:" and c["Combo2"].count == 4, "Combo2: %r" % c["Combo2"].text)
        shown = {n for n in SLOT_LISTS if c[n].visible}
        check(shown == {"Combo6", "Combo13"}, "lists shown at start: %s" % sorted(shown))
        check(c["Combo6"].count > 0 and c["Combo1"].count == 201, "party lists not loaded")
        check(c["Label23"].text not in ("", "Label23"), "Label23: %r" % c["Label23"].text)
        today = datetime.date.today().strftime("%Y年%m月%d日 ")
        check(c["Label22"].text == today, "Label22: %r, today is %r" % (c["Label22"].text, today))
        check(c["Frame1"].text == "澜栖" and w.form()[5] == "澜栖", "title")
        check(w.focused() == "Text2(0)", "focus at start: %s" % w.focused())
        check(c["Text25(1)"].text == "3" and c["Text13"].text == "", "initial texts")
        # Dragging the bare band above the frame moves the window; a press on a field does not.
        x, y = (int(v) for v in w.probe("where", "Frame1")[1].split())
        band_x, band_y = x - 300, y - 378
        subprocess.run(["xdotool", "mousemove", str(band_x), str(band_y), "sleep", "0.2",
                        "mousedown", "1", "sleep", "0.3", "mousemove", str(band_x + 40),
                        str(band_y + 30), "sleep", "0.3", "mousemove", str(band_x + 80),
                        str(band_y + 60), "sleep", "0.3", "mouseup", "1"], check=True, timeout=30)
        time.sleep(0.5)
        moved = tuple(int(v) for v in w.probe("where", "Frame1")[1].split())
        check(moved == (x + 80, y + 60), "the drag moved the window from %s to %s" % ((x, y), moved))
        w.click("Text2(3)")
        check(tuple(int(v) for v in w.probe("where", "Frame1")[1].split()) == moved,
              "a click on a field moved the window")


# Where the Enter walk has the focus after so many Enters from Text2(0).
ENTER_WALK = [(1, "Text2(1)"), (19, "Text2(19)"), (20, "Text5(0)"), (78, "Text11(18)"),
              (79, "Text1(0)"), (158, "Text10(19)"), (159, "Text26(0)"), (160, "Text26(1)"),
              (161, "Text27(1)"), (168, "Text26(5)"), (169, "Text30(0)"), (174, "Text30(5)"),
              (175, "Combo14"), (176, "Combo13"), (177, "Combo12"), (178, "Combo6"),
              (179, "Command2"), (180, "Combo4"), (181, "Combo2"), (182, "Command6"),
              (183, "Command4"), (184, "Command3"), (185, "Text28(6)"), (186, "Command1"),
              (187, "Text13"), (188, "Text2(0)")]

# Up and Down within a column, with the wrap: (start, key, where it lands).
ARROWS = [("Text2(0)", "Up", "Text2(20)"), ("Text2(20)", "Down", "Text2(0)"),
          ("Text2(19)", "Down", "Text2(20)"), ("Text1(19)", "Down", "Text1(0)"),
          ("Text1(0)", "Up", "Text1(19)"), ("Text11(18)", "shift+Down", "Text11(19)")]


def case_keys(source, build):
    """The Enter walk through the tab order, the arrows, select-on-focus."""
    with Session(source, build) as w:
        done = 0
        for enters, expected in ENTER_WALK:
            w.keys("Return", repeat=enters - done)
            done = enters
            check(w.focused() == expected,
                  "after %d Enters the focus is on %s, not %s" % (enters, w.focused(), expected))
        check("\r" not in w.text("Text13") and "\n" not in w.text("Text13"), "Enter reached Text13")
        for start, key, expected in ARROWS:
            w.click(start, takes_focus=True)
            w.keys(key)
            check(w.focused() == expected, "%s on %s: %s" % (key, start, w.focused()))
        # A diameter entered by Down is selected whole: one digit replaces it.
        w.enter("Text1(3)", "55")
        w.keys("Up")
        w.keys("Down")
        w.type("7")
        check(w.text("Text1(3)") == "7", "select-on-focus: %r" % w.text("Text1(3)"))


def case_tally(source, build):
    """The worked tally keyed by hand; the clear commands after it."""
    with Session(source, build) as w:
        key_worked_tally(w)
        w.ticks(2)
        shown = w.controls(*WORKED_RESULTS)
        faults = ["%s shows %r, not %r" % (n, shown[n].text, t)
                  for n, t in WORKED_RESULTS.items() if shown[n].text != t]
        check(not faults, "; ".join(faults))
        shot = os.environ.get("LANQI_WINDOW_SHOT")
        if shot:
            subprocess.run(["import", "-window", "root", shot], check=True, timeout=30)

        # Clear-counts: the counts go, the sheet's layout stays.
        w.click("Command1")
        w.ticks(2)
        c = w.controls(*CLEARED_BY_COUNTS, *(n for n, _ in WORKED_FIELDS))
        emptied = [n for n in CLEARED_BY_COUNTS if c[n].text != ""]
        check(not emptied, "after clear-counts still shown: %s" % emptied)
        kept = [n for n, t in WORKED_FIELDS if c[n].text != t]
        check(not kept, "clear-counts emptied %s" % kept)

        # Clear-all: every field but the remarks.
        w.click("Text13")
        w.type("remark")
        w.click("Command4")
        w.ticks(2)
        c = w.controls()
        left = [n for n, x in c.items() if x.cls == "Edit" and n != "Text13" and x.text
                and "(" in n]
        check(not left, "after clear-all still shown: %s" % left)
        check(c["Text13"].text == "remark", "clear-all emptied the remarks")


def case_selectors(source, build):
    """The party and detail captions choose the lists on show; a name moves the details;
    the minimise button."""
    with Session(source, build) as w:
        w.pick_next("Combo4")  # 供货商:
        c = w.controls("Combo4", *SLOT_LISTS)
        check(c["Combo4"].text == "供货商:", "Combo4: %r" % c["Combo4"].text)
        check(c["Combo5"].visible and not c["Combo6"].visible, "name slot after 供货商:")
        check(c["Combo13"].visible, "detail slot after 供货商:")
        w.pick_next("Combo2")  # 联系人:
        c = w.controls(*SLOT_LISTS)
        shown = [n for n in ("Combo1", "Combo7", "Combo8", "Combo9", "Combo10", "Combo11",
                             "Combo13") if c[n].visible]
        check(shown == ["Combo10"], "detail lists shown for 供货商: 联系人: %s" % shown)
        w.pick_next("Combo5")  # the first supplier
        c = w.controls(*SLOT_LISTS)
        k = c["Combo5"].selected
        moved = [n for n in ("Combo1", "Combo7", "Combo8", "Combo9", "Combo10", "Combo11")
                 if c[n].selected != k]
        check(k >= 0 and not moved, "row sync to entry %d: %s did not follow" % (k, moved))
        # 最小化 minimises the window.
        w.click("Command2")
        check(w.form()[3] == "1", "Command2 did not minimise the window")


def case_bill(source, build):
    """The worked tally's bill: the warning first, then the bill in the
    workbook, handed to the spreadsheet program and read back by xlrd and LibreOffice."""
    sys.path.insert(0, os.path.join(source, "tools/windows"))
    import check_bill

    opened = os.path.join(build, "tests/win32/opened.txt")
    if os.path.exists(opened):
        os.remove(opened)
    with Session(source, build) as w:
        key_worked_tally(w)
        w.ticks(2)
        w.click("Command3")
        w.wait_dialog("每次打印前请先关闭*账单明细*")
        w.answer("确定")
        # The test prefix opens .xls files with control_probe.exe, which notes them.
        for _ in range(50):
            if os.path.exists(opened) and "账单明细.xls" in open(opened, encoding="utf-8").read():
                break
            time.sleep(0.2)
        else:
            raise Fault("the bill was not handed to the spreadsheet program; shown: %r"
                        % w.dialogs())
        workbook = os.path.join(w.folder, "账单明细.xls")
        by_xlrd = check_bill.read_with_xlrd(workbook)
        by_libreoffice = check_bill.read_with_libreoffice(workbook, os.path.dirname(w.folder))
        expected = {(6, 1): "20", (6, 2): "3", (6, 3): "0.48", (7, 1): "30", (7, 2): "9",
                    (34, 4): "14", (34, 7): "4195.2", (4, 2): "4", (2, 1): "购货商:"}
        for reader, cells in (("xlrd", by_xlrd), ("LibreOffice", by_libreoffice)):
            for cell, text in expected.items():
                check(check_bill.same_value(cells.get(cell, ""), text),
                      "%s reads %r in %s, not %r" % (reader, cells.get(cell), cell, text))
        # A second bill in the same run comes without the warning.
        w.click("Command3")
        time.sleep(1.5)
        check(not any("每次打印前" in t for d in w.dialogs() for t in d), "the warning came twice")


def case_exit(source, build):
    """Save-and-exit stores the settings for the next start; a second copy is refused."""
    with Session(source, build) as w:
        # A second copy from the same folder says so and ends; the first goes on.
        second = subprocess.Popen([WINE, w.exe], cwd=w.folder, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL, env=dict(os.environ, WINEDEBUG="-all"))
        try:
            w.wait_dialog("程序正在运行......")
            w.answer("确定")
            check(second.wait(timeout=30) == 0, "the second copy did not end")
        finally:
            if second.poll() is None:
                second.kill()
        check(w.process.poll() is None, "the first copy ended too")

        w.enter("Text1(4)", "44")
        w.enter("Text30(5)", "2500")
        w.enter("Text2(0)", "6")
        w.click("Command6")
        check(w.process.wait(timeout=30) == 0, "save-and-exit did not end the program")
        w.start()
        c = w.controls("Text1(4)", "Text30(5)", "Text2(0)")
        check(c["Text1(4)"].text == "44" and c["Text30(5)"].text == "2500",
              "not restored: Text1(4) %r, Text30(5) %r" % (c["Text1(4)"].text, c["Text30(5)"].text))
        check(c["Text2(0)"].text == "", "a piece count was stored: %r" % c["Text2(0)"].text)


def ledger_bills(folder):
    """The bills of the ledger beside the workbook, in the order recorded."""
    path = os.path.join(folder, "账单记录.db")
    if not os.path.exists(path):
        return []
    with sqlite3.connect("file:%s?mode=ro" % path, uri=True) as db:
        return db.execute("SELECT serial, remarks, replaces FROM bills ORDER BY id").fetchall()


def wait_bills(w, n):
    for _ in range(100):
        if len(ledger_bills(w.folder)) >= n:
            return
        time.sleep(0.2)
    raise Fault("the ledger holds %d bills, not %d; shown: %r"
                % (len(ledger_bills(w.folder)), n, w.dialogs()))


def records_lines(w):
    rc, out = w.probe("records", check_rc=False)
    if rc != 0:
        return None
    lines = out.splitlines()
    count, selected = (int(v) for v in lines[0].split("\t"))
    return count, selected, [l.split("\t") for l in lines[1:]]


def wait_records(w, n):
    """The records window's count, selected line and lines once it shows n bills."""
    for _ in range(50):
        shown = records_lines(w)
        if shown and shown[0] == n:
            return shown
        time.sleep(0.2)
    raise Fault("the records window shows %r, not %d bills" % (shown, n))


def records_keys(*keys):
    """Keys typed into the records window."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^账单记录$"],
                           capture_output=True, text=True).stdout.split()
    check(found, "no X window named 账单记录")
    subprocess.run(["xdotool", "windowfocus", "--sync", found[-1]], timeout=10)
    subprocess.run(["xdotool", "key", "--delay", "50"] + list(keys), check=True, timeout=60)
    time.sleep(0.4)


def case_records(source, build):
    """Three bills made in the window appear in the records window, newest first; the
    first, reopened with Enter over an unexported tally, comes back field for field and,
    exported again, is recorded as a fourth bill replacing it."""
    with Session(source, build) as w:
        w.pick_next("Combo6")  # the first buyer
        key_worked_tally(w)
        first = None
        for n in (1, 2, 3):
            w.enter("Text13", "load %d" % n)
            w.ticks(1)
            if n == 1:
                first = {k: c.text for k, c in w.controls().items() if c.cls in ("Edit", "ComboBox")}
            w.click("Command3")
            if n == 1:
                w.wait_dialog("每次打印前请先关闭*账单明细*")
                w.answer("确定")
            wait_bills(w, n)
        serials = [b[0] for b in ledger_bills(w.folder)]
        check([b[1] for b in ledger_bills(w.folder)] == ["load 1", "load 2", "load 3"],
              "the bills' remarks: %r" % ledger_bills(w.folder))

        w.enter("Text2(5)", "8")  # a tally not exported
        w.keys("F3")
        count, selected, lines = wait_records(w, 3)
        check([l[0] for l in lines] == serials[::-1], "lines %r, bills %r" % (lines, serials))
        check(selected == 0, "the newest line is not selected: %d" % selected)
        check(lines[2][5] == "14" and lines[2][7] == "4195.20", "the first bill's line: %r"
              % lines[2])
        records_keys("Down", "Down")
        check(records_lines(w)[1] == 2, "Down twice selects %d" % records_lines(w)[1])
        records_keys("Return")
        w.wait_dialog("还没有导出")
        w.answer("不导出，打开")
        w.ticks(2)
        now = {k: c.text for k, c in w.controls().items() if c.cls in ("Edit", "ComboBox")}
        changed = ["%s: %r, was %r" % (k, now.get(k), t) for k, t in first.items()
                   if now.get(k) != t]
        check(not changed, "reopened, not as it was: %s" % "; ".join(changed))

        w.click("Command3")
        wait_bills(w, 4)
        bills = ledger_bills(w.folder)
        check(bills[3][1] == "load 1" and bills[3][2] == serials[0],
              "the fourth bill %r does not replace %s" % (bills[3], serials[0]))
        w.click("Label24")  # the link 账单记录
        count, _, lines = wait_records(w, 4)
        check(lines[3][0] == serials[0] + "（已被替代）",
              "the first bill is not shown replaced: %r" % lines)
        shot = os.environ.get("LANQI_RECORDS_SHOT")
        if shot:
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^账单记录$"],
                                   capture_output=True, text=True).stdout.split()
            subprocess.run(["import", "-window", found[-1], shot], check=True, timeout=30)


# The worked tick keyed from the first focus over what the shipped workbook
# loads (diameters 6, 8, 10 …; prices 850, 1000, 1200, 1350, 1500, 1700):
# the counts, Enter down to the diameters, the diameters, Enter down to the
# prices, then the prices of grading rows 2 and 3, the others emptied.
WORKED_COUNT_KEYS = "3E9E2E" + "E" * 76
WORKED_DIAMETER_KEYS = "20E30E12E" + "E" * 87
WORKED_PRICE_KEYS = "BEBE1000E1200EBEB"


def case_keyed(source, build):
    """Enter as Tab over the loaded values: the worked tick shows 4195.20, and a
    price entered by Enter, Tab or Shift+Tab is typed over."""
    with Session(source, build) as w:
        check(w.text("Text30(0)") == "850", "the shipped prices were not loaded")
        w.key_line(WORKED_COUNT_KEYS)
        check(w.focused() == "Text1(0)", "after the counts the focus is on %s" % w.focused())
        w.key_line(WORKED_DIAMETER_KEYS)
        check(w.focused() == "Text30(0)", "after the diameters the focus is on %s" % w.focused())
        w.key_line(WORKED_PRICE_KEYS)
        w.ticks(2)
        prices = [w.text("Text30(%d)" % k) for k in range(6)]
        check(prices == ["", "", "1000", "1200", "", ""], "prices keyed: %r" % prices)
        shown = w.controls(*WORKED_RESULTS)
        faults = ["%s shows %r, not %r" % (n, shown[n].text, t)
                  for n, t in WORKED_RESULTS.items() if shown[n].text != t]
        check(not faults, "; ".join(faults))
    with Session(source, build) as w:
        for start, key, field, typed in (("Text26(5)", "Return", "Text30(0)", "9"),
                                         ("Text30(0)", "Tab", "Text30(1)", "8"),
                                         ("Text30(2)", "shift+Tab", "Text30(1)", "7"),
                                         ("Text30(5)", "Return", "Combo14", "6")):
            w.click(start, takes_focus=True)
            w.keys(key)
            check(w.focused() == field, "%s from %s: %s" % (key, start, w.focused()))
            w.type(typed)
            check(w.text(field) == typed, "%s entered by %s holds %r" % (field, key, w.text(field)))


def case_box_focus(source, build):
    """A box raised from the keyboard gives the focus back: the remarks' notice
    after a paste too long for them."""
    with Session(source, build) as w:
        w.click("Text13", takes_focus=True)
        w.type("ab")
        # The probe holds the clipboard while the paste is made.
        holder = subprocess.Popen([WINE, os.path.join(build, "tests/win32/control_probe.exe"),
                                   "clip", "40000", "30"], stdout=subprocess.PIPE,
                                  env=dict(os.environ, WINEDEBUG="-all"))
        try:
            check(holder.stdout.readline().strip() == b"set", "the clipboard was not set")
            w.keys("ctrl+v")
            # 40,000 characters through the remarks take a while under Wine.
            w.wait_dialog("备注最多能放", seconds=40)
        finally:
            holder.kill()
            holder.wait(timeout=30)
        subprocess.run(["xdotool", "key", "Return"], check=True, timeout=10)
        time.sleep(0.5)
        if any("备注最多能放" in t for d in w.dialogs() for t in d):
            w.answer("确定")
        for _ in range(15):
            if not any("备注最多能放" in t for d in w.dialogs() for t in d):
                break
            time.sleep(0.2)
        # The desktop gives the window the input back once the box is gone;
        # without a window manager the test does so.
        w.focus_window()
        for _ in range(15):
            if w.focused() == "Text13":
                break
            time.sleep(0.2)
        check(w.focused() == "Text13", "after the box the focus is on %r" % w.focused())
        w.key_line("E5")
        check(w.text("Text2(0)") == "5", "keys after the box: Text2(0) holds %r"
              % w.text("Text2(0)"))


# The differential keys: a fixed seed, a few hundred keys from the first focus.
# With this seed the keys walk through counts, block totals, diameters, bounds,
# prices, the lists (stepped with the arrows and typed into), the buttons, the
# grand total and the remarks.
DIFFERENTIAL_SEED = 23
DIFFERENTIAL_KEYS = 600


def differential_keys():
    rng = random.Random(DIFFERENTIAL_SEED)
    keys = "0123456789.EBUD"
    weights = [4] * 10 + [3, 23, 6, 4, 4]
    return "".join(rng.choices(keys, weights=weights, k=DIFFERENTIAL_KEYS))


def bill_cells(workbook):
    import xlrd
    sheet = xlrd.open_workbook(workbook).sheet_by_name("原木一")
    return {(r, c): (sheet.cell_type(r, c), sheet.cell_value(r, c))
            for r in range(sheet.nrows) for c in range(sheet.ncols)}


def wait_opened(build, w):
    opened = os.path.join(build, "tests/win32/opened.txt")
    for _ in range(50):
        if os.path.exists(opened) and "账单明细.xls" in open(opened, encoding="utf-8").read():
            return
        time.sleep(0.2)
    raise Fault("the bill was not handed to the spreadsheet program; shown: %r" % w.dialogs())


def case_differential(source, build):
    """The same keys typed into the Qt window and into lanqi.exe, then 导出数据:
    the two bills are equal cell for cell."""
    linux = os.environ.get("LANQI_LINUX_BUILD") or os.path.join(source, "build")
    tool = os.path.join(linux, "tests/ui/ui_keyed_bill")
    check(os.path.exists(tool), "no %s: the Linux build goes first" % tool)
    keys = differential_keys()
    scratch = tempfile.mkdtemp(prefix="lanqi-differential-")
    try:
        qt_bill = os.path.join(scratch, "qt.xls")
        qt = subprocess.run([tool, keys, qt_bill], capture_output=True, timeout=300,
                            env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
        check(qt.returncode == 0, "the Qt window's run: %s" % qt.stderr.decode("utf-8", "replace"))
        opened = os.path.join(build, "tests/win32/opened.txt")
        if os.path.exists(opened):
            os.remove(opened)
        with Session(source, build) as w:
            w.key_line(keys)
            w.ticks(2)
            w.click("Command3")
            w.wait_dialog("每次打印前请先关闭*账单明细*")
            w.answer("确定")
            wait_opened(build, w)
            windows = bill_cells(os.path.join(w.folder, "账单明细.xls"))
        linux_cells = bill_cells(qt_bill)
        differ = ["%s: Qt %r, lanqi.exe %r" % (cell, linux_cells.get(cell), windows.get(cell))
                  for cell in sorted(set(linux_cells) | set(windows))
                  if linux_cells.get(cell) != windows.get(cell)]
        check(not differ, "the bills differ in %d cells: %s" % (len(differ), "; ".join(differ[:12])))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


def set_dpi(dpi):
    subprocess.run([WINE, "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t",
                    "REG_DWORD", "/d", str(dpi), "/f"], check=True, capture_output=True,
                   timeout=60, env=dict(os.environ, WINEDEBUG="-all"))


def rect(text):
    return tuple(int(v) for v in text.split(","))


def window_and_work_area(w):
    window, work = w.probe("screen")[1].split()
    return rect(window), rect(work)


def fitting_dpi(dpi, work):
    """The screen's DPI, or the most at which the window's 11520 twips of
    height fit the work area."""
    return min(dpi, work[3] * 1440 // 11520)


def case_dpi(source, build):
    """At 125 % and 150 % every control is where the table puts it, scaled, on
    a screen large enough for the window at 150 %."""
    for dpi in (120, 144):
        with OwnScreen(build, "1920x1200", 0, dpi), Session(source, build) as w:
            rc, report = w.probe("layout", check_rc=False)
            expected = fitting_dpi(dpi, window_and_work_area(w)[1])
            check(rc == 0 and expected == dpi and ("at %d dpi" % dpi) in report,
                  "at %d dpi:\n%s" % (dpi, report))


class OwnScreen:
    """A virtual display of its own of SIZE, with a panel of PANEL pixels along its
    foot (the desktop's work area, _NET_WORKAREA, which Wine reads), and a
    Wine prefix of its own at DPI dots per inch; the environment points at
    both while the screen is up."""

    def __init__(self, build, size, panel, dpi):
        self.build, self.size, self.panel, self.dpi = build, size, panel, dpi
        self.prefix = os.path.join(build, "tests/win32/small-screen-wine")
        self.saved = {k: os.environ.get(k) for k in ("DISPLAY", "WINEPREFIX")}

    def wine(self, *args):
        subprocess.run([WINE] + list(args), check=True, capture_output=True, timeout=180,
                       env=dict(os.environ, WINEDEBUG="-all"))

    def __enter__(self):
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-noreset", "-screen", "0",
                                      self.size + "x24", "-nolisten", "tcp"], pass_fds=(write,),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        while not number.endswith(b"\n"):
            got = os.read(read, 16)
            check(got, "Xvfb did not start for %s" % self.size)
            number += got
        os.close(read)
        number = number.decode().strip()
        os.environ["DISPLAY"] = ":" + number
        width, height = (int(v) for v in self.size.split("x"))
        work = "0,0,%d,%d" % (width, height - self.panel)
        # The display takes a moment to accept clients after it has said its number.
        for _ in range(50):
            if subprocess.run(["xprop", "-root", "-f", "_NET_WORKAREA", "32c", "-set",
                               "_NET_WORKAREA", work], capture_output=True,
                              timeout=10).returncode == 0:
                break
            time.sleep(0.1)
        else:
            self.__exit__()
            raise Fault("the display %s of %s did not start" % (os.environ["DISPLAY"], self.size))
        # The run's prefix has the test fonts and the probe as spreadsheet program.
        fonts = os.path.join(self.build, "wine-test.reg")
        fresh = not os.path.isdir(self.prefix)
        os.environ["WINEPREFIX"] = self.prefix
        if fresh:
            os.makedirs(self.prefix)
            self.wine("wineboot", "--init")
            if os.path.exists(fonts):
                self.wine("regedit", self.wine_path(fonts))
        set_dpi(self.dpi)
        return self

    def wine_path(self, path):
        return subprocess.run([WINE, "winepath", "-w", path], check=True, capture_output=True,
                              text=True, env=dict(os.environ, WINEDEBUG="-all")).stdout.strip()

    def __exit__(self, *exc):
        if os.environ.get("WINEPREFIX") == self.prefix:
            subprocess.run(["/usr/lib/wine/wineserver", "-k"], timeout=60)
        self.xvfb.kill()
        self.xvfb.wait(timeout=30)
        for k, v in self.saved.items():
            if v is None:
                os.environ.pop(k, None)
            else:
                os.environ[k] = v


# Screens on which the window does not fit at the screen's scale: its size,
# the height of a panel along its foot, its DPI.
SMALL_SCREENS = [("1366x768", 40, 96), ("1920x1080", 0, 144)]


def case_screens(source, build):
    """On a screen too small for it the window is drawn smaller, wholly
    inside the work area, and the worked tally keyed into it shows its total."""
    for size, panel, dpi in SMALL_SCREENS:
        with OwnScreen(build, size, panel, dpi), Session(source, build) as w:
            window, work = window_and_work_area(w)
            inside = (work[0] <= window[0] and work[1] <= window[1]
                      and window[0] + window[2] <= work[0] + work[2]
                      and window[1] + window[3] <= work[1] + work[3])
            check(inside, "on %s at %d dpi the window %s is not inside the work area %s"
                  % (size, dpi, window, work))
            rc, report = w.probe("layout", check_rc=False)
            check(rc == 0, "on %s at %d dpi:\n%s" % (size, dpi, report))
            key_worked_tally(w)
            w.ticks(2)
            total = w.text("Text31(6)")
            check(total == "4195.20", "on %s at %d dpi Text31(6) shows %r" % (size, dpi, total))
            shot = os.environ.get("LANQI_WINDOW_SHOT_" + size)
            if shot:
                subprocess.run(["import", "-window", "root", shot], check=True, timeout=30)


def pixel(picture, x, y):
    return subprocess.run(["convert", picture, "-format", "%%[pixel:p{%d,%d}]" % (x, y), "info:"],
                          check=True, capture_output=True, text=True, timeout=60).stdout.strip()


def case_rescale(source, build):
    """Told that its screen is now of 120 dpi, the window is drawn anew, whole:
    the frame's bare foot, beyond where the window ended before, shows the
    frame's colour as its bare top does. (A screen large enough for the
    window at 120 dpi.)"""
    with OwnScreen(build, "1600x1200", 0, 96), Session(source, build) as w:
        before = window_and_work_area(w)
        told = w.probe("rescale", "120")[1]
        time.sleep(1.5)
        rc, report = w.probe("layout", check_rc=False)
        check(rc == 0 and "at 120 dpi" in report, "after the change of scale from %s to %s (%s):\n%s"
              % (before, window_and_work_area(w), told, report))
        window = window_and_work_area(w)[0]
        frame = w.controls("Frame1")["Frame1"].rect

        def at(left, top):  # a point of the frame given in twips
            return window[0] + frame[0] + left * 120 // 1440, window[1] + frame[1] + top * 120 // 1440

        picture = os.path.join(build, "tests/win32/rescaled.png")
        subprocess.run(["import", "-window", "root", picture], check=True, timeout=30)
        top, foot = pixel(picture, *at(60, 400)), pixel(picture, *at(400, 11000))
        check(top == foot, "the frame's bare top is %s, its bare foot %s" % (top, foot))


CASES = {"layout": case_layout, "dpi": case_dpi, "keys": case_keys, "tally": case_tally,
         "selectors": case_selectors, "bill": case_bill, "exit": case_exit,
         "screens": case_screens, "rescale": case_rescale, "records": case_records,
         "keyed": case_keyed, "box_focus": case_box_focus, "differential": case_differential}


def main(case, build, source):
    if not os.environ.get("DISPLAY") or not os.environ.get("WINEPREFIX"):
        print("no display or Wine prefix: run tools/windows/build-and-test.sh")
        return SKIPPED
    try:
        CASES[case](source, build)
    except Fault as fault:
        print("FAIL %s: %s" % (case, fault))
        return 1
    print("ok %s" % case)
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 4 or sys.argv[1] not in CASES:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
