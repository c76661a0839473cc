#!/usr/bin/env python3
"""Times whole runs of sixes on the benchmark touches and prints, for each, the wall time, the changes
per second and the peak resident memory; then the same with --all and with --json, next to the
plain run. Prints figures only: nothing here passes or fails on time.

Usage: time-runs.py SIXES [TOUCHES-FOLDER] [RUNS]. Each touch is run RUNS times (3 by default); the
fastest run is shown, as the one least disturbed by other work on the machine."""

import os
import subprocess
import sys
import time
from pathlib import Path


# GNU time reports the peak memory of sixes alone. Without it the rusage of the child is used, which
# also counts the memory of this script that the child had before it became sixes.
GNU_TIME = "/usr/bin/time" if os.access("/usr/bin/time", os.X_OK) else None


def run_once(sixes, touch, options=()):
    """Wall seconds, peak resident kilobytes, exit status and processor seconds (user and system) of
    one run, output discarded."""
    command = [sixes, *options, str(touch)]
    if GNU_TIME:
        command = [GNU_TIME, "-f", "%M %x"] + command
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    error = process.stderr.read()
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    processor = usage.ru_utime + usage.ru_stime  # the child's, with the children it waited for
    if GNU_TIME:
        peak, exit_status = error.split()[-2:]
        return wall, int(peak), int(exit_status), processor
    return wall, usage.ru_maxrss, os.waitstatus_to_exitcode(status), processor


def main():
    sixes = sys.argv[1]
    folder = Path(sys.argv[2]) if len(sys.argv) > 2 else Path(__file__).parent / "touches"
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    touches = []
    for line in (folder / "touches.tsv").read_text().splitlines():
        if line and not line.startswith("#"):
            file, changes, description = line.split("\t")
            touches.append((file, int(changes), description))

    print(f"Whole runs of {sixes}, fastest of {runs}:")
    print(f"{'touch':42} {'changes':>10} {'wall s':>8} {'changes/s':>12} {'peak RSS':>10} {'B/change':>9}")
    failed = False
    for file, changes, description in touches:
        results = [run_once(sixes, folder / file) for _ in range(runs)]
        wall = min(result[0] for result in results)
        peak = max(result[1] for result in results)
        statuses = {result[2] for result in results}
        if statuses - {0, 1}:
            failed = True
        print(f"{description:42} {changes:>10,} {wall:>8.3f} {changes / wall / 1e6:>11.1f}M "
              f"{peak / 1024:>8.1f}MB {peak * 1024 / changes:>9.1f}"
              + ("" if statuses <= {0, 1} else f"  exit status {sorted(statuses)}"))
    print("Goals: the 10,000,000-change touch in under 1.5 s at under 64 bytes of peak memory a change.")

    # The analyses: every one of them (--all), and the JSON document that holds them all (--json),
    # against the plain run; each figure the median of the runs, taken in turn so that a busy
    # machine slows all three alike. Processor time is steadier than wall time on a shared machine.
    print()
    print(f"With the analyses, median of {runs} runs each, against the plain run:")
    print(f"{'touch':42} {'options':>8} {'wall s':>8} {'x plain':>8} {'cpu s':>8} {'x plain':>8} "
          f"{'peak RSS':>10} {'x plain':>8}")
    for file, changes, description in touches:
        figures = {}
        for options in ((), ("--all",), ("--json",)):
            figures[options] = []
        for _ in range(runs):
            for options in ((), ("--all",), ("--json",)):
                figures[options].append(run_once(sixes, folder / file, options))
        def median(results, field):
            return sorted(result[field] for result in results)[runs // 2]

        plain_wall = median(figures[()], 0)
        plain_processor = median(figures[()], 3)
        plain_peak = max(result[1] for result in figures[()])
        for options, results in figures.items():
            wall = median(results, 0)
            processor = median(results, 3)
            peak = max(result[1] for result in results)
            if {result[2] for result in results} - {0, 1}:
                failed = True
            print(f"{description:42} {' '.join(options) or 'plain':>8} {wall:>8.3f} "
                  f"{wall / plain_wall:>8.2f} {processor:>8.3f} "
                  f"{processor / max(plain_processor, 1e-9):>8.2f} {peak / 1024:>8.1f}MB "
                  f"{peak / plain_peak:>8.2f}")
    print("Aim: --all and --json in at most twice the time and the memory of the plain run.")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
