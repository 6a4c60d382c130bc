#!/usr/bin/python3
"""Runs the engine's corpus_check over every .xls file of a folder, then has
Apache POI, xlrd and (on a sample) LibreOffice read the saved copies, and
prints the counts. The formula results the engine computed are compared with
what LibreOffice computes from the same saved copies (--formulas: only that
after the engine's pass). Called by tools/check-xls-corpus.sh, which builds
the driver; see there for the arguments."""
import argparse
import collections
import csv
import glob
import os
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
POI_DUMP = os.path.join(HERE, "..", "tests", "xls", "peers", "PoiDump.java")
POI_CLASSPATH = "/usr/share/java/poi.jar"

XLRD_DUMP = r'''
import sys, xlrd
def esc(s):
    return s.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")
def dump(path, out):
    try:
        book = xlrd.open_workbook(path, on_demand=True)
        for i in range(book.nsheets):
            s = book.sheet_by_index(i)
            for r in range(s.nrows):
                for c, cell in enumerate(s.row(r)):
                    if cell.ctype in (0, 6):
                        continue
                    if cell.ctype in (2, 3):
                        v = repr(float(cell.value))
                    elif cell.ctype == 4:
                        v = "TRUE" if cell.value else "FALSE"
                    elif cell.ctype == 5:
                        v = xlrd.error_text_from_code.get(cell.value, "#%d" % cell.value)
                    else:
                        v = esc(cell.value)
                    kind = {1: "text", 2: "number", 3: "number", 4: "boolean", 5: "error"}[cell.ctype]
                    out.write("cell\t%s\t%d\t%d\t%s\t%s\t\n" % (esc(s.name), r + 1, c + 1, kind, v))
    except Exception as e:
        out.write("refused\t%s: %s\n" % (type(e).__name__, esc(str(e).split("\n")[0])))
for path in sys.argv[1:]:
    with open(path + ".part", "w", encoding="utf-8") as out:
        dump(path, out)
    import os
    os.rename(path + ".part", path + ".xlrd")
'''


def run(cmd, timeout, cwd=None):
    """(status, output); status None on a time-out."""
    try:
        p = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           timeout=timeout, cwd=cwd)
        return p.returncode, p.stdout.decode("utf-8", "replace")
    except subprocess.TimeoutExpired as e:
        return None, (e.stdout or b"").decode("utf-8", "replace")


def parse_dump(text):
    """A peer's dump: (refusal or None, {(sheet, row, col): (kind, value, formula)})."""
    cells = {}
    for line in text.splitlines():
        parts = line.split("\t")
        if parts[0] == "refused":
            return "\t".join(parts[1:]), cells
        if parts[0] == "cell" and len(parts) >= 7:
            cells[(parts[1], int(parts[2]), int(parts[3]))] = (parts[4], parts[5], parts[6])
    return None, cells


def read_dump(target, suffix):
    try:
        with open(target + suffix, encoding="utf-8", errors="replace") as f:
            return parse_dump(f.read())
    except OSError:
        return "no output", {}


def peer_kind(kind):
    return {"numeric": "number", "string": "text", "blank": "empty"}.get(kind, kind)


def read_writes(path):
    writes = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            sheet, row, col, kind, value = line.rstrip("\n").split("\t")
            writes[(sheet, int(row), int(col))] = (kind, value)
    return writes


def written_ok(kind, value, got):
    """Whether a peer's (kind, value, formula) shows the written value."""
    if kind == "empty":
        return got is None or peer_kind(got[0]) == "empty" or (got[0] == "text" and got[1] == "")
    if got is None or got[2]:
        return False
    if kind == "number":
        try:
            return peer_kind(got[0]) == "number" and float(got[1]) == float(value)
        except ValueError:
            return False
    return peer_kind(got[0]) == "text" and got[1] == value


def computed_ok(kind, value, got):
    """Whether a peer's (kind, value, formula) shows a formula result the engine computed."""
    if got is None:
        return kind == "text" and value == ""
    k = peer_kind(got[0].split(":")[-1])
    if kind == "number":
        try:
            return k == "number" and float(got[1]) == float(value)
        except ValueError:
            return False
    if kind == "text":
        return (k == "text" and got[1] == value) or (value == "" and k in ("empty", "blank"))
    return k == kind and got[1] == value


def compare(peer, before, after, writes, computed, problems, name):
    """Counts what a peer sees differently in the saved copy."""
    refused_before, cells_before = before
    refused_after, cells_after = after
    if refused_before is not None:
        problems["%s refuses the original too" % peer].append("%s: %s" % (name, refused_before))
        return
    if refused_after is not None:
        problems["%s cannot read the saved copy" % peer].append("%s: %s" % (name, refused_after))
        return
    for key, (kind, value) in writes.items():
        if not written_ok(kind, value, cells_after.get(key)):
            problems["%s: written cell reads back wrong" % peer].append(
                "%s %s: %s %r -> %r" % (name, key, kind, value, cells_after.get(key)))
    for key, (kind, value) in computed.items():
        if not computed_ok(kind, value, cells_after.get(key)):
            problems["%s: computed formula result reads back wrong" % peer].append(
                "%s %s: %s %r -> %r" % (name, key, kind, value, cells_after.get(key)))
    for key, was in cells_before.items():
        if key in writes:
            continue
        now = cells_after.get(key)
        if key in computed and now is not None and now[2] == was[2]:
            continue
        if now is None:
            problems["%s: cell lost" % peer].append("%s %s %r" % (name, key, was))
        elif now[2] != was[2]:
            problems["%s: formula changed" % peer].append("%s %s %r -> %r" % (name, key, was, now))
        elif now != was:
            problems["%s: cell changed" % peer].append("%s %s %r -> %r" % (name, key, was, now))
    for key, now in cells_after.items():
        if key not in cells_before and key not in writes and peer_kind(now[0]) != "empty":
            problems["%s: cell appeared" % peer].append("%s %s %r" % (name, key, now))


def libreoffice_check(saved, writes, work, problems, notes, name):
    out = os.path.join(work, "lo")
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    profile = os.path.join(work, "lo-profile")
    shutil.copy(saved, os.path.join(out, "saved.xls"))
    status, text = run(["soffice", "-env:UserInstallation=file://" + profile, "--headless",
                        "--norestore", "--nolockcheck", "--convert-to",
                        "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,"
                        "false,-1", "--outdir", out, os.path.join(out, "saved.xls")], 300)
    sheets = {}
    for path in glob.glob(os.path.join(out, "saved-*.csv")):
        sheet = os.path.basename(path)[len("saved-"):-len(".csv")]
        with open(path, encoding="utf-8", errors="replace", newline="") as f:
            sheets[sheet] = {(r + 1, c + 1): v for r, row in enumerate(csv.reader(f))
                             for c, v in enumerate(row)}
    if status != 0 or not sheets:
        problems["LibreOffice cannot read the saved copy"].append("%s: %s" % (name, text[-200:]))
        return
    for (sheet, row, col), (kind, value) in writes.items():
        if sheet not in sheets:
            continue  # sheet names LibreOffice cannot use in a file name
        got = sheets[sheet].get((row, col), "")
        ok = got == value if kind == "text" else (got == "" if kind == "empty" else
                                                   _same_number(got, value))
        if not ok and kind == "number" and got and not _same_number(got, got):
            # The number keeps the cell's format, which LibreOffice applies
            # even to its plain export (a date, for instance).
            notes["LibreOffice shows a written number in the cell's own format"] += 1
        elif not ok:
            problems["LibreOffice: written cell reads back wrong"].append(
                "%s %s!R%dC%d: %r -> %r" % (name, sheet, row, col, value, got))


XLSX_VALUES = r'''
import sys, zipfile, re
import xml.etree.ElementTree as ET
M = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
R = "{http://schemas.openxmlformats.org/officeDocument/2006/relationships}"
def esc(s):
    return s.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")
def text_of(e):
    return "".join(t.text or "" for t in e.iter(M + "t"))
for path in sys.argv[1:]:
    with open(path + ".values", "w", encoding="utf-8") as out:
        try:
            z = zipfile.ZipFile(path)
            names = z.namelist()
            shared = [text_of(si) for si in ET.fromstring(z.read("xl/sharedStrings.xml")).iter(M + "si")] \
                if "xl/sharedStrings.xml" in names else []
            rels = {r.get("Id"): r.get("Target") for r in ET.fromstring(z.read("xl/_rels/workbook.xml.rels"))}
            for sh in ET.fromstring(z.read("xl/workbook.xml")).iter(M + "sheet"):
                target = rels[sh.get(R + "id")].lstrip("/")
                target = target if target.startswith("xl/") else "xl/" + target
                for c in ET.fromstring(z.read(target)).iter(M + "c"):
                    t = c.get("t", "n")
                    v = c.find(M + "v")
                    if t == "inlineStr":
                        kind, value = "text", text_of(c.find(M + "is"))
                    elif v is None:
                        continue
                    elif t == "s":
                        kind, value = "text", shared[int(v.text)]
                    elif t == "str":
                        kind, value = "text", v.text or ""
                    elif t == "b":
                        kind, value = "boolean", "TRUE" if v.text == "1" else "FALSE"
                    elif t == "e":
                        kind, value = "error", v.text
                    else:
                        kind, value = "number", v.text
                    m = re.match(r"([A-Z]+)([0-9]+)$", c.get("r"))
                    col = 0
                    for ch in m.group(1):
                        col = col * 26 + ord(ch) - 64
                    out.write("cell\t%s\t%s\t%d\t%s\t%s\t\n" % (esc(sh.get("name")), m.group(2), col,
                                                                kind, esc(value)))
        except Exception as e:
            out.write("refused\t%s: %s\n" % (type(e).__name__, esc(str(e).split("\n")[0])))
'''


def libreoffice_formulas(opened, work, problems, notes, counts):
    """Has LibreOffice compute the saved copies whose formula results the
    engine computed, in one start, and compares every such result."""
    todo = [(name, saved, read_writes(computed)) for name, _, saved, _, computed in opened]
    todo = [t for t in todo if t[2]]
    if not todo:
        return
    out = os.path.join(work, "lo-formulas")
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    copies = []
    for k, (name, saved, computed) in enumerate(todo):
        copies.append(os.path.join(out, "%04d.xls" % k))
        shutil.copy(saved, copies[-1])
    profile = os.path.join(work, "lo-profile")
    status, text = run(["soffice", "-env:UserInstallation=file://" + profile, "--headless",
                        "--norestore", "--nolockcheck", "--convert-to", "xlsx", "--outdir", out]
                       + copies, 3600)
    targets = [c[:-len(".xls")] + ".xlsx" for c in copies]
    run([sys.executable, "-c", XLSX_VALUES] + [t for t in targets if os.path.exists(t)], 1800)
    for (name, saved, computed), target in zip(todo, targets):
        refused, cells = read_dump(target, ".values")
        if refused is not None:
            problems["LibreOffice cannot compute the saved copy"].append("%s: %s" % (name, refused))
            continue
        for key, (kind, value) in computed.items():
            got = cells.get(key)
            ok = computed_ok(kind, value, got)
            if not ok and kind == "boolean" and got and got[0] == "number":
                # LibreOffice writes a comparison's TRUE and FALSE as 1 and 0.
                ok = float(got[1]) == (1.0 if value == "TRUE" else 0.0)
            if not ok and kind == "number" and got and got[0] == "number":
                # LibreOffice writes 15 significant digits, rounded its own way.
                a, b = float(got[1]), float(value)
                ok = abs(a - b) <= 1e-14 * max(abs(a), abs(b))
            if ok:
                counts["formula results LibreOffice agrees with"] += 1
            else:
                problems["LibreOffice computes a formula differently"].append(
                    "%s %s: %s %r -> %r" % (name, key, kind, value, got))


def _same_number(shown, value):
    try:
        return float(shown) == float(value)
    except ValueError:
        return False


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--driver", required=True)
    ap.add_argument("--corpus", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--timeout", type=int, default=60)
    ap.add_argument("--engine-only", action="store_true")
    ap.add_argument("--no-xlrd", action="store_true", help="POI and LibreOffice only")
    ap.add_argument("--libreoffice-every", type=int, default=15,
                    help="LibreOffice reads every Nth saved copy (0: none)")
    ap.add_argument("--formulas", action="store_true",
                    help="after the engine's pass, only LibreOffice computing the formula results")
    args = ap.parse_args()

    files = sorted(glob.glob(os.path.join(args.corpus, "*.xls")))
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    outcome = collections.Counter()
    refused = collections.Counter()
    problems = collections.defaultdict(list)
    notes = collections.Counter()
    formulas = collections.Counter()
    left = collections.Counter()
    opened = []
    listing = []
    for i, path in enumerate(files):
        name = os.path.basename(path)
        saved = os.path.join(args.work, "%03d.xls" % i)
        writes = os.path.join(args.work, "%03d.tsv" % i)
        computed = os.path.join(args.work, "%03d.formulas.tsv" % i)
        status, text = run([args.driver, path, saved, writes, computed], args.timeout)
        lines = [l.split("\t") for l in text.splitlines()]
        first = next((l for l in lines if l[0] in ("opened", "refused")), None)
        if status is None:
            outcome["hang"] += 1
            problems["engine: hang"].append(name)
        elif first is None or status not in (0, 1, 3) or "ERROR: " in text or "runtime error" in text:
            outcome["crash"] += 1
            problems["engine: crash"].append("%s: status %s %s" % (name, status, text[-300:]))
        elif first[0] == "refused":
            outcome["refused"] += 1
            refused[first[1]] += 1
            listing.append("refused\t%s\t%s\t%s" % (name, first[1], first[2]))
        else:
            outcome["opened"] += 1
            opened.append((name, path, saved, writes, computed))
            listing.append("opened\t%s\t%s" % (name, "\t".join(first[1:])))
        for l in lines:
            if l[0] == "formulas" and len(l) == 4:
                formulas["computed"] += int(l[1])
                formulas["left to the spreadsheet program"] += int(l[2])
                formulas["references unknown"] += int(l[3])
                formulas["files with results computed"] += int(l[1]) > 0
            elif l[0] == "left" and len(l) == 3:
                left[l[1]] += int(l[2])
            elif l[0] == "fail":
                problems["engine: " + l[1]].append("%s: %s" % (name, "\t".join(l[2:])))
            elif l[0] == "note":
                notes[l[1]] += 1
                listing.append("note\t%s\t%s" % (name, "\t".join(l[1:])))

    if args.formulas and opened:
        libreoffice_formulas(opened, args.work, problems, notes, formulas)
    if not args.engine_only and not args.formulas and opened:
        both = [p for o in opened for p in (o[1], o[2])]
        copies = os.path.join(args.work, "poi")
        os.makedirs(copies)
        targets = []
        for k, f in enumerate(both):
            t = os.path.join(copies, "%04d.xls" % k)
            shutil.copy(f, t)
            targets.append(t)
        status, text = run(["java", "-Xmx2g", "-cp", POI_CLASSPATH, POI_DUMP, "--each"] + targets,
                           3600)
        if status != 0:
            problems["POI did not run"].append(text[-500:])
        # xlrd all in one run; after a time-out the first file without a
        # dump runs alone, and is taken as a hang only if it times out again.
        pending = [] if args.no_xlrd else targets
        while pending:
            run([sys.executable, "-c", XLRD_DUMP] + pending, 1800)
            pending = [t for t in pending if not os.path.exists(t + ".xlrd")]
            if pending:
                first = pending.pop(0)
                run([sys.executable, "-c", XLRD_DUMP, first], 600)
                if not os.path.exists(first + ".xlrd"):
                    with open(first + ".xlrd", "w") as f:
                        f.write("refused\ttime-out\n")
        for k, (name, path, saved, writes, computed) in enumerate(opened):
            w = read_writes(writes)
            c = read_writes(computed)
            compare("POI", *[read_dump(t, ".poi") for t in targets[2 * k:2 * k + 2]], w, c,
                    problems, name)
            if not args.no_xlrd:
                compare("xlrd", *[read_dump(t, ".xlrd") for t in targets[2 * k:2 * k + 2]], w, c,
                        problems, name)
            if args.libreoffice_every and k % args.libreoffice_every == 0:
                notes["LibreOffice sample"] += 1
                libreoffice_check(saved, w, args.work, problems, notes, name)

    with open(os.path.join(args.work, "files.tsv"), "w", encoding="utf-8") as f:
        f.write("\n".join(listing) + "\n")
    with open(os.path.join(args.work, "problems.txt"), "w", encoding="utf-8") as f:
        for what, items in sorted(problems.items()):
            f.write("== %s (%d)\n" % (what, len(items)))
            for item in items:
                f.write("  %s\n" % item)

    print("files: %d" % len(files))
    print("opened: %d" % outcome["opened"])
    print("refused: %d (%s)" % (outcome["refused"],
                                ", ".join("%s %d" % kv for kv in sorted(refused.items()))))
    print("crashes: %d, hangs: %d" % (outcome["crash"], outcome["hang"]))
    for what, n in sorted(notes.items()):
        print("note: %s: %d" % (what, n))
    for what, n in sorted(formulas.items()):
        print("formulas over written cells, %s: %d" % (what, n))
    for what, n in sorted(left.items(), key=lambda kv: -kv[1]):
        print("  left because: %s: %d" % (what, n))
    failed = 0
    for what, items in sorted(problems.items()):
        files_hit = len({i.split(":")[0].split(" ")[0] for i in items})
        print("%s: %d (in %d files)" % (what, len(items), files_hit))
        if "original too" not in what:
            failed += 1
    print("details: %s" % os.path.join(args.work, "problems.txt"))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
