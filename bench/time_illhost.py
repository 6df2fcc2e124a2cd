#!/usr/bin/env python3
"""Times illhost end to end over generated illustrations and prints a Markdown table.

For each size (10,000 and 100,000 tracks unless --sizes says otherwise; --million adds
1,000,000), bench/make_illustration.py writes the illustration once, and once more with an empty
timeline, into a temporary folder under $TMPDIR (default /tmp; 1,000,000 tracks need about 2 GB
there) that is removed at the end. Then each of these is timed:
  table               ILLHOST FILE
  --json              ILLHOST --json FILE
  --save OUT          ILLHOST --save OUT FILE   (OUT in the temporary folder, removed after a run)
  read + build only   ILLHOST MODEL             (the same model with an empty timeline)
  parser only         PARSER FILE               (with --parser PARSER)
Only FILE, --json and --save are passed, so that any version of illhost can be measured.

Each row has the least wall time of its runs (5 up to 10,000 tracks, 3 up to 100,000, 1 above,
or R), the least CPU time (user + system), the wall time per track and its ratio to the same
run's at the smallest size, and the largest peak resident memory of those runs as the kernel
reports it for each child. A child's peak counts the memory of this script when it started the
child, so a figure at or below the floor printed above the table says only "at most this much".
Below the table: time per track at the largest size over that at the smallest, in wall time and
in CPU time (less disturbed by a shared machine's load). Progress goes to standard error, the
table to standard output.

Exit status: 0 timed; 1 a run or the generator failed (the message names the command and quotes
its last line of errors), or the table could not be written; 2 bad usage; 128 + the signal's
number when interrupted (temporary files are removed)."""
import argparse
import collections
import os
import resource
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

GENERATOR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "make_illustration.py")
DEFAULT_SIZES = [10_000, 100_000]
MILLION = 1_000_000
START_UP_RUNS = 10


class Failure(Exception):
    """A run that failed; its message is the one line to show."""


class Interrupted(BaseException):
    def __init__(self, signum):
        super().__init__(signum)
        self.signum = signum


class ErrorTail(threading.Thread):
    """Reads a child's standard error as it comes and keeps its end: kept in memory, since a
    full disk is one of the failures it has to report, and bounded, whatever the child writes."""

    KEPT = 4096

    def __init__(self, pipe):
        super().__init__(daemon=True)
        self.pipe, self.tail = pipe, b""

    def run(self):
        with self.pipe:
            for chunk in iter(lambda: self.pipe.read1(65536), b""):
                self.tail = (self.tail + chunk)[-self.KEPT:]

    def last_line(self):
        lines = [line.strip() for line in self.tail.decode(errors="replace").splitlines()]
        lines = [line for line in lines if line]
        return lines[-1][:300] if lines else "nothing on standard error"


Measure = collections.namedtuple("Measure", "wall cpu rss")  # seconds, seconds, KB
Row = collections.namedtuple("Row", "tracks name runs best")


def run(command, stdout=subprocess.DEVNULL):
    """Runs `command` once and measures it."""
    start = time.perf_counter()
    child = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=stdout,
                             stderr=subprocess.PIPE)
    errors = ErrorTail(child.stderr)
    errors.start()
    try:
        _, status, usage = os.wait4(child.pid, 0)
    except BaseException:
        child.kill()
        child.wait()
        raise
    wall = time.perf_counter() - start
    errors.join()
    child.returncode = code = os.waitstatus_to_exitcode(status)
    if code != 0:
        how = (f"was killed by {signal.Signals(-code).name}" if code < 0 else
               f"exited with status {code}")
        raise Failure(f"`{shlex.join(command)}` {how}: {errors.last_line()}")
    return Measure(wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss)


def best(command, runs, output=None):
    """Least wall and CPU time and largest peak RSS of `runs` runs; `output`, when given, is a
    file that each run must write and that is removed after it."""
    measures = []
    for _ in range(runs):
        measures.append(run(command))
        if output is not None:
            if not os.path.isfile(output):
                raise Failure(f"`{shlex.join(command)}` exited with status 0 but wrote no {output}")
            os.remove(output)
    return Measure(min(m.wall for m in measures), min(m.cpu for m in measures),
                   max(m.rss for m in measures))


def generate(tracks, path, *options):
    with open(path, "wb") as out:
        try:
            run([sys.executable, GENERATOR, str(tracks), *options], stdout=out)
        except Failure as failure:
            raise Failure(f"generating {tracks:,} tracks failed: {failure}") from None


def repetitions(tracks, forced):
    if forced:
        return forced
    return 5 if tracks <= 10_000 else 3 if tracks <= 100_000 else 1


def machine():
    cores = os.cpu_count()
    model = ""
    try:
        with open("/proc/cpuinfo", encoding="utf-8", errors="replace") as info:
            models = (line.split(":", 1)[1] for line in info if line.startswith("model name"))
            model = next(models, "").strip()
    except OSError:
        pass
    return f"{cores} cores ({model})" if model else f"{cores} cores"


def time_sizes(illhost, parser, sizes, forced_runs, work):
    """Yields a Row for every run at every size."""
    tracks_file, model_file = os.path.join(work, "tracks.json"), os.path.join(work, "model.json")
    saved = os.path.join(work, "saved.json")
    for tracks in sizes:
        progress(f"{tracks:,} tracks: generating the files")
        generate(tracks, tracks_file)
        generate(tracks, model_file, "--no-tracks")
        runs = repetitions(tracks, forced_runs)
        kinds = [("table", [illhost, tracks_file], None),
                 ("`--json`", [illhost, "--json", tracks_file], None),
                 ("`--save OUT`", [illhost, "--save", saved, tracks_file], saved),
                 ("read + build only", [illhost, model_file], None)]
        if parser:
            kinds.append(("parser only", [parser, tracks_file], None))
        for name, command, output in kinds:
            progress(f"{tracks:,} tracks: {name.strip('`')}, {runs} run{'s' if runs > 1 else ''}")
            yield Row(tracks, name, runs, best(command, runs, output))
        os.remove(tracks_file)
        os.remove(model_file)


def megabytes(rss, floor):
    return f"≤ {floor / 1024:.1f} MB" if rss <= floor else f"{rss / 1024:.1f} MB"


def per_track(row, time="wall"):
    return getattr(row.best, time) / row.tracks


def table(rows, floor):
    smallest = min(row.tracks for row in rows)
    first = {row.name: per_track(row) for row in rows if row.tracks == smallest}
    lines = ["| tracks | run | runs | best wall | least CPU | µs/track "
             f"| per track vs {smallest:,} | peak RSS | KB/track |",
             "| ---: | --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: |"]
    for row in rows:
        wall, cpu, rss = row.best
        lines.append(f"| {row.tracks:,} | {row.name} | {row.runs} | {wall:.3f} s | {cpu:.3f} s | "
                     f"{per_track(row) * 1e6:.2f} | {per_track(row) / first[row.name]:.2f} | "
                     f"{megabytes(rss, floor)} | {rss / row.tracks:.2f} |")
    return lines


def ratio_lines(rows):
    """The growth of time per track from the smallest size to the largest, in wall time and, as
    a shared machine's load hides less of it, in CPU time."""
    low, high = min(row.tracks for row in rows), max(row.tracks for row in rows)
    if low == high:
        return []
    names = [row.name for row in rows if row.tracks == low]
    lines = [""]
    for time in ("wall", "cpu"):
        per = {(row.tracks, row.name): per_track(row, time) for row in rows}
        ratios = ", ".join(f"{name} {per[high, name] / per[low, name]:.2f}" for name in names)
        kind = "Wall" if time == "wall" else "CPU"
        lines.append(f"{kind} time per track at {high:,} tracks over {low:,}: {ratios}.")
    return lines


def progress(text):
    print(f"time_illhost.py: {text}", file=sys.stderr, flush=True)


def stop(message, status):
    progress(message)
    sys.exit(status)


class Arguments(argparse.ArgumentParser):
    """Reports a usage error in one line, with exit status 2."""

    def error(self, message):
        print(f"{self.prog}: {message} (see {self.prog} --help)", file=sys.stderr)
        sys.exit(2)


def sizes_list(text):
    parts = text.split(",")
    if not all(part.isascii() and part.isdigit() and int(part) > 0 for part in parts):
        raise argparse.ArgumentTypeError(
            f"sizes are track counts above 0, separated by commas, not {text!r}")
    return [int(part) for part in parts]


def run_count(text):
    if not (text.isascii() and text.isdigit() and int(text) > 0):
        raise argparse.ArgumentTypeError(f"runs must be a whole number above 0, not {text!r}")
    return int(text)


def executable(text):
    if shutil.which(text) is None:
        raise argparse.ArgumentTypeError(f"{text!r} is not an executable file")
    return text


def arguments():
    parser = Arguments(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("illhost", metavar="ILLHOST", type=executable,
                        help="the illhost program to time")
    parser.add_argument("--sizes", type=sizes_list, default=DEFAULT_SIZES, metavar="N,N,...",
                        help="track counts (default 10000,100000)")
    parser.add_argument("--million", action="store_true", help="time 1,000,000 tracks as well")
    parser.add_argument("--runs", type=run_count, metavar="R", help="runs per row at every size")
    parser.add_argument("--parser", type=executable, metavar="PARSER",
                        help="also time `PARSER FILE`, a program that only parses the file")
    args = parser.parse_args()
    args.sizes = list(dict.fromkeys(args.sizes + ([MILLION] if args.million else [])))
    return args


def interrupt(signum, _frame):
    raise Interrupted(signum)


def report(command, start_up, rows, load_before):
    floor = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
    start = ", ".join(f"{name} {m.wall * 1e3:.1f} ms and {megabytes(m.rss, floor)}"
                      for name, m in start_up.items())
    load = f"{load_before:.1f} before, {os.getloadavg()[0]:.1f} after"
    lines = [f"Command: `{command}`", "",
             f"Machine: {machine()}; load average {load}. Start-up over an empty illustration, "
             f"best of {START_UP_RUNS}: {start}. RSS floor (this script's own, counted in every "
             f"child's peak): {floor / 1024:.1f} MB.", ""]
    lines += table(rows, floor) + ratio_lines(rows)
    return "\n".join(lines)


def main():
    args = arguments()
    if sys.stdout is None:
        stop("standard output is closed: no table could be written", 1)
    for signum in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(signum, interrupt)
    command = shlex.join(["python3", *sys.argv])
    load_before = os.getloadavg()[0]
    try:
        with tempfile.TemporaryDirectory(prefix="time_illhost-") as work:
            empty = os.path.join(work, "empty.json")
            generate(0, empty)
            progress("start-up over an empty illustration")
            start_up = {"illhost": best([args.illhost, empty], START_UP_RUNS)}
            if args.parser:
                start_up["parser"] = best([args.parser, empty], START_UP_RUNS)
            os.remove(empty)
            rows = list(time_sizes(args.illhost, args.parser, args.sizes, args.runs, work))
    except Failure as failure:
        stop(f"timing stopped: {failure}", 1)
    except Interrupted as interrupted:
        stop("interrupted; temporary files removed", 128 + interrupted.signum)
    try:
        print(report(command, start_up, rows, load_before), flush=True)
    except OSError as error:
        os.dup2(os.open(os.devnull, os.O_WRONLY), sys.stdout.fileno())
        stop(f"cannot write the table: {error.strerror or error}", 1)


if __name__ == "__main__":
    main()
