#!/usr/bin/env python3
"""Times whole runs of sixes on the benchmark touches and prints, for each, the wall time, the changes
per second and the peak resident memory, then the goals beside the figures measured for them. Prints
figures only: nothing here passes or fails on time. MB are millions of bytes.

Usage: time-runs.py SIXES [TOUCHES-FOLDER] [RUNS]. Each touch is run once, then RUNS times (5 by
default), and the medians of those are shown, since the machine may be shared with other work; the
longest touches are also run with --all, whose analyses ride on the rows of the proof."""

import os
import statistics
import subprocess
import sys
import time
from pathlib import Path


# GNU time reports the peak memory of sixes alone. Without it the rusage of the child is used, which
# also counts the memory of this script that the child had before it became sixes.
GNU_TIME = "/usr/bin/time" if os.access("/usr/bin/time", os.X_OK) else None

# The goals of whole runs: the touch, the most seconds and the most bytes of peak memory a change.
GOALS = [
    ("sixteen-10m.touch", 0.15, 16.0),
    ("sixteen-100m.touch", 2.0, 1.6e9 / 99876872),
]
# Touches also run with --all, which may take at most this many times the plain run's time and
# memory.
WITH_ALL = {"sixteen-10m.touch", "sixteen-100m.touch"}
MOST_FOR_ALL = 2.0


def run_once(sixes, touch, options):
    """Wall seconds, processor seconds (user and system), peak resident kilobytes and exit status of
    one run, output discarded."""
    command = [sixes] + options + [str(touch)]
    if GNU_TIME:
        command = [GNU_TIME, "-f", "%M %x %U %S"] + command
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    error = process.stderr.read()
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    if GNU_TIME:
        peak, exit_status, user, system = error.split()[-4:]
        return wall, float(user) + float(system), int(peak), int(exit_status)
    return (wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss,
            os.waitstatus_to_exitcode(status))


def measure(sixes, touch, options, runs):
    """The median wall and processor seconds and peak kilobytes of runs runs after one run not
    counted, and every exit status seen."""
    run_once(sixes, touch, options)  # the program and the touch in the page cache
    results = [run_once(sixes, touch, options) for _ in range(runs)]
    wall = statistics.median(result[0] for result in results)
    processor = statistics.median(result[1] for result in results)
    peak = statistics.median(result[2] for result in results)
    return wall, processor, peak, {result[3] for result in results}


def main():
    sixes = sys.argv[1]
    folder = Path(sys.argv[2]) if len(sys.argv) > 2 else Path(__file__).parent / "touches"
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    touches = []
    for line in (folder / "touches.tsv").read_text().splitlines():
        if line and not line.startswith("#"):
            file, changes, description = line.split("\t")
            touches.append((file, int(changes), description))

    print(f"Whole runs of {sixes}, median of {runs} (processor: user and system time, which on a "
          "busy machine shows what waiting for a processor hides):")
    print(f"{'touch':50} {'changes':>11} {'wall s':>8} {'cpu s':>7} {'changes/s':>12} "
          f"{'peak RSS':>10} {'B/change':>9}")
    failed = False
    figures = {}
    for file, changes, description in touches:
        for options in [[]] + ([["--all"]] if file in WITH_ALL else []):
            wall, processor, peak, statuses = measure(sixes, folder / file, options, runs)
            figures[(file, tuple(options))] = (wall, peak * 1024, changes, processor)
            if statuses - {0, 1}:
                failed = True
            label = description + (" " + " ".join(options) if options else "")
            print(f"{label:50} {changes:>11,} {wall:>8.3f} {processor:>7.3f} "
                  f"{changes / wall / 1e6:>11.1f}M "
                  f"{peak * 1024 / 1e6:>8.1f}MB {peak * 1024 / changes:>9.1f}"
                  + ("" if statuses <= {0, 1} else f"  exit status {sorted(statuses)}"))

    print("\nGoals of whole runs, and the medians measured:")
    for file, seconds, bytes_per_change in GOALS:
        if (file, ()) not in figures:
            continue
        wall, peak, changes, processor = figures[(file, ())]
        print(f"  {file}: under {seconds:g} s: {wall:.3f} s ({processor:.3f} s of processor); "
              f"under {bytes_per_change:.1f} bytes a "
              f"change ({bytes_per_change * changes / 1e6:,.0f} MB): {peak / changes:.1f} "
              f"({peak / 1e6:,.0f} MB)")
    for file in sorted(WITH_ALL):
        if (file, ("--all",)) in figures and (file, ()) in figures:
            plain, every = figures[(file, ())], figures[(file, ("--all",))]
            print(f"  {file} with --all: at most {MOST_FOR_ALL:g} times the plain run: "
                  f"{every[0] / plain[0]:.2f} times the time, {every[1] / plain[1]:.2f} times "
                  f"the memory")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
