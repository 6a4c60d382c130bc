#!/usr/bin/python3
"""The Windows packages under Wine.

    installer_test.py BUILD

The portable .zip holds the programs, the workbook and the read-me in one
folder. The installer installs silently for all users; the installed program
starts and makes the user's own workbook in %APPDATA%\\lanqi\\; the silent
uninstall removes the program and its shortcuts and keeps that workbook.
Needs DISPLAY and WINEPREFIX as tools/windows/build-and-test.sh sets them
(exit 77 without them).
"""
import glob
import os
import subprocess
import sys
import time
import zipfile

WINE = "/usr/lib/wine/wine64"
SKIPPED = 77


def wine(*args, timeout=120):
    return subprocess.run([WINE] + list(args), capture_output=True, timeout=timeout,
                          env=dict(os.environ, WINEDEBUG="-all"))


def unix_path(windows_path):
    return wine("winepath", "-u", windows_path).stdout.decode("utf-8").strip()


def wait_for(condition, seconds):
    for _ in range(int(seconds / 0.2)):
        if condition():
            return True
        time.sleep(0.2)
    return condition()


def main(build):
    if not os.environ.get("DISPLAY") or not os.environ.get("WINEPREFIX"):
        print("no display or Wine prefix: run tools/windows/build-and-test.sh")
        return SKIPPED
    faults = []
    [portable] = glob.glob(os.path.join(build, "packages", "lanqi-*-portable.zip"))
    names = set(zipfile.ZipFile(portable).namelist())
    stem = os.path.basename(portable)[:-len("-portable.zip")]
    for name in ("lanqi.exe", "lanqi-tally.exe", "账单明细.xls", "对账单.xls", "说明.txt"):
        if "%s/%s" % (stem, name) not in names:
            faults.append("the .zip has no %s: %s" % (name, sorted(names)))

    [setup] = glob.glob(os.path.join(build, "packages", "lanqi-*-setup.exe"))
    program_files = unix_path(r"C:\Program Files\lanqi")
    installed = os.path.join(program_files, "bin", "lanqi.exe")
    appdata = wine("cmd", "/c", "echo %APPDATA%").stdout.decode("utf-8").strip()
    users_copy = os.path.join(unix_path(appdata), "lanqi", "账单明细.xls")
    desktop = os.path.join(unix_path(r"C:\users\Public\Desktop"), "澜栖.lnk")
    start_menu = os.path.join(unix_path(r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs"),
                              "澜栖.lnk")
    if os.path.exists(users_copy):
        os.remove(users_copy)

    done = wine(setup, "/S")
    if done.returncode != 0 or not os.path.exists(installed):
        return report(faults + ["the silent install did not install lanqi.exe (exit %d)"
                                % done.returncode])
    for path in (desktop, start_menu,
                 os.path.join(program_files, "share", "lanqi", "账单明细.xls"),
                 os.path.join(program_files, "share", "lanqi", "对账单.xls")):
        if not os.path.exists(path):
            faults.append("installed without %s" % path)

    # The installed program, started by the user: its own workbook is made.
    program = subprocess.Popen([WINE, installed], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, env=dict(os.environ, WINEDEBUG="-all"))
    probe = os.path.join(build, "tests", "win32", "control_probe.exe")
    shown = wait_for(lambda: wine(probe, "dump", timeout=30).returncode == 0, 30)
    if not shown:
        faults.append("the installed program showed no window")
    if not os.path.exists(users_copy):
        faults.append("no workbook made for the user at %s" % users_copy)
    wine(probe, "end", timeout=30)
    program.kill()
    program.wait(timeout=30)

    wine(os.path.join(program_files, "uninstall.exe"), "/S")
    # The uninstaller runs on from a copy of itself; its work is done when the folder goes.
    if not wait_for(lambda: not os.path.exists(program_files), 60):
        faults.append("the uninstall left %s" % os.listdir(program_files))
    for path in (desktop, start_menu):
        if os.path.exists(path):
            faults.append("the uninstall left %s" % path)
    if not os.path.exists(users_copy):
        faults.append("the uninstall removed the user's workbook")
    return report(faults)


def report(faults):
    for fault in faults:
        print(fault)
    print("%d faults" % len(faults))
    return 1 if faults else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
