#!/usr/bin/env python3
"""Times illhost end to end over generated illustrations: wall time per track (best of several
runs, less the start-up that `illhost --help` takes) with the table, with --json, and reading and
building the model alone; and the peak resident memory of each run.

usage: time_illhost.py ILLHOST [N ...]   (default sizes 1000 and 100000)"""
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def best(command, runs):
    """Best wall time of `runs` runs of `command`, and the largest peak RSS (KB) of those runs."""
    fastest, peak = float("inf"), 0
    for _ in range(runs):
        start = time.perf_counter()
        child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(child.pid, 0)
        fastest = min(fastest, time.perf_counter() - start)
        if os.waitstatus_to_exitcode(status) != 0:
            sys.exit(f"{' '.join(command)} failed")
        peak = max(peak, usage.ru_maxrss)
    return fastest, peak


def main():
    illhost, sizes = sys.argv[1], [int(n) for n in sys.argv[2:]] or [1000, 100000]
    start_up, _ = best([illhost, "--help"], 10)
    print(f"start-up {start_up * 1e3:.1f} ms")
    print("tracks   table µs/track   --json µs/track   read+build µs/track   peak RSS of the --json run")
    with tempfile.TemporaryDirectory() as work:
        for n in sizes:
            files = {}
            for name, extra in (("tracks", []), ("model", ["--no-tracks"])):
                files[name] = os.path.join(work, f"{name}{n}.json")
                with open(files[name], "w") as out:
                    subprocess.run([sys.executable, os.path.join(HERE, "make_illustration.py"), str(n)] + extra,
                                   stdout=out, check=True)
            runs = 5 if n <= 10000 else 3
            per = lambda t: (t - start_up) / n * 1e6
            table, _ = best([illhost, files["tracks"]], runs)
            model, _ = best([illhost, files["model"]], runs)
            as_json, rss = best([illhost, "--json", files["tracks"]], runs)
            print(f"{n:>7}   {per(table):14.1f}   {per(as_json):15.1f}   {per(model):19.1f}   {rss / 1024:.1f} MB")


if __name__ == "__main__":
    main()
