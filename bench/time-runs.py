#!/usr/bin/env python3
"""Times whole runs of sixes on the benchmark touches and prints, for each, the wall time, the changes
per second and the peak resident memory; then the same with --all and with --json, next to the
plain run; then the goals beside the figures measured for them. Prints figures only: nothing here
passes or fails on time. MB are millions of bytes.

Usage: time-runs.py SIXES [TOUCHES-FOLDER] [RUNS]. Each touch is run once, then RUNS times (5 by
default), and the medians of those are shown, since the machine may be shared with other work."""

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
# The analyses may take at most this many times the plain run's time and memory.
MOST_FOR_ANALYSES = 2.0
ANALYSES = (("--all",), ("--json",))


def run_once(sixes, touch, options=()):
    """Wall seconds, processor seconds (user and system), peak resident kilobytes and exit status of
    one run, output discarded."""
    command = [sixes, *options, str(touch)]
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


def medians(results):
    """The median wall and processor seconds and peak kilobytes of runs, and every exit status."""
    return (statistics.median(result[0] for result in results),
            statistics.median(result[1] for result in results),
            statistics.median(result[2] for result in results),
            {result[3] for result in results})


def main():
    sixes = sys.argv[1]
    folder = Path(sys.argv[2]) if len(sys.argv) > 2 else Path(__file__).parent / "touches"
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    touches = []
    for line in (folder / "touches.tsv").read_text().splitlines():
        if line and not line.startswith("#"):
            file, changes, description = line.split("\t")
            touches.append((file, int(changes), description))

    print(f"Whole runs of {sixes}, median of {runs} after one not counted (processor: user and "
          "system time, which on a busy machine shows what waiting for a processor hides):")
    print(f"{'touch':42} {'changes':>11} {'wall s':>8} {'cpu s':>7} {'changes/s':>12} "
          f"{'peak RSS':>10} {'B/change':>9}")
    failed = False
    plain = {}
    for file, changes, description in touches:
        run_once(sixes, folder / file)  # the program and the touch in the page cache
        wall, processor, peak, statuses = medians(
            [run_once(sixes, folder / file) for _ in range(runs)])
        plain[file] = (wall, processor, peak * 1024, changes)
        if statuses - {0, 1}:
            failed = True
        print(f"{description:42} {changes:>11,} {wall:>8.3f} {processor:>7.3f} "
              f"{changes / wall / 1e6:>11.1f}M {peak * 1024 / 1e6:>8.1f}MB "
              f"{peak * 1024 / changes:>9.1f}"
              + ("" if statuses <= {0, 1} else f"  exit status {sorted(statuses)}"))

    # The analyses: every one of them (--all), and the JSON document that holds them all (--json),
    # against the plain run; each figure the median of the runs, taken in turn so that a busy
    # machine slows all three alike. Processor time is steadier than wall time on a shared machine.
    print()
    print(f"With the analyses, median of {runs} runs each, taken in turn, against the plain run:")
    print(f"{'touch':42} {'options':>8} {'wall s':>8} {'x plain':>8} {'cpu s':>8} {'x plain':>8} "
          f"{'peak RSS':>10} {'x plain':>8}")
    ratios = {}
    for file, changes, description in touches:
        figures = {options: [] for options in ((),) + ANALYSES}
        for _ in range(runs):
            for options in figures:
                figures[options].append(run_once(sixes, folder / file, options))
        plain_wall, plain_processor, plain_peak, _ = medians(figures[()])
        for options, results in figures.items():
            wall, processor, peak, statuses = medians(results)
            if statuses - {0, 1}:
                failed = True
            ratios[(file, options)] = (wall / plain_wall, peak / plain_peak)
            print(f"{description:42} {' '.join(options) or 'plain':>8} {wall:>8.3f} "
                  f"{wall / plain_wall:>8.2f} {processor:>8.3f} "
                  f"{processor / max(plain_processor, 1e-9):>8.2f} {peak * 1024 / 1e6:>8.1f}MB "
                  f"{peak / plain_peak:>8.2f}")

    print("\nGoals, and the medians measured:")
    for file, seconds, bytes_per_change in GOALS:
        if file not in plain:
            continue
        wall, processor, peak, changes = plain[file]
        print(f"  {file}: under {seconds:g} s: {wall:.3f} s ({processor:.3f} s of processor); "
              f"under {bytes_per_change:.1f} bytes a change "
              f"({bytes_per_change * changes / 1e6:,.0f} MB): {peak / changes:.1f} "
              f"({peak / 1e6:,.0f} MB)")
        for options in ANALYSES:
            time_ratio, memory_ratio = ratios[(file, options)]
            print(f"  {file} with {' '.join(options)}: at most {MOST_FOR_ANALYSES:g} times the "
                  f"plain run: {time_ratio:.2f} times the time, {memory_ratio:.2f} times the memory")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
