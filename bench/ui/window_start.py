#!/usr/bin/python3
"""Start to the window shown, as the user waits for it: the program is
started with LANQI_EXIT_AFTER_SHOW, which ends it once its window has been
drawn for the first time, and the whole run is timed.

    window_start.py RUNS COMMAND...

    bench/ui/window_start.py 20 build/app/lanqi
    WINEPREFIX=... DISPLAY=... bench/ui/window_start.py 20 /usr/lib/wine/wine64 build-windows/ui/win32/lanqi.exe

Runs once untimed first (caches, Wine's server), then RUNS times; prints the
fastest, the median and the slowest in milliseconds.
"""
import os
import statistics
import subprocess
import sys
import time


def run(command):
    start = time.perf_counter()
    subprocess.run(command, check=True, timeout=60, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL,
                   env=dict(os.environ, LANQI_EXIT_AFTER_SHOW="1", WINEDEBUG="-all"))
    return (time.perf_counter() - start) * 1000


def main(runs, command):
    run(command)
    times = sorted(run(command) for _ in range(runs))
    print("%s: %d runs, fastest %.0f ms, median %.0f ms, slowest %.0f ms"
          % (" ".join(command), runs, times[0], statistics.median(times), times[-1]))


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    main(int(sys.argv[1]), sys.argv[2:])
