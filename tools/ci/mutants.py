#!/usr/bin/env python3
"""Mutation testing of the module's sources.

Makes one single-line change at a time to plugin/src/*.cpp (a comparison or logical operator,
a name-type value, a boolean, a negated condition, a dropped statement), rebuilds the tree in
its own build folder, runs every CTest test there and tells whether some test failed (killed),
none did (survived) or the change does not compile. A survivor that the list of equivalent
mutants does not name makes the run fail.

The source file is restored after each mutant, on an error and on SIGINT, SIGTERM or SIGHUP.
A run that was killed outright leaves a note in the build folder; the next run restores the
file from the pristine copy kept beside that note before it does anything else.

Exit status: 0 every survivor is listed as equivalent; 1 a survivor is not listed; 2 a usage
error, a broken equivalent list, a tree that does not build or pass its tests unmutated, a
source or output that cannot be written; 130 interrupted.
"""

import argparse
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
SOURCES = "plugin/src"
EQUIVALENT_LIST = "tools/ci/equivalent_mutants.txt"
OWN_BUILD_MARK = "made-by-mutants"  # in the build folder: a folder this script may reconfigure
NAME_TYPES = ("Custom", "FromTarget", "Default", "Unresolved")
RELATIONS = {"==": "!=", "!=": "==", "<": "<=", "<=": "<", ">": ">=", ">=": ">"}
LOGICAL = {"&&": "||", "||": "&&"}


class SetupError(Exception):
    """A failure that makes the run meaningless: reported in one line, exit status 2."""


class Interrupted(Exception):
    pass


@dataclass(frozen=True)
class Mutant:
    path: str  # relative to the root
    line: int  # 1-based, for the report only
    original: str  # the line as it stands
    mutated: str  # the line as the mutant has it
    what: str  # the kind of change, for people

    def key(self):
        return (self.path, self.original.strip(), self.mutated.strip())

    def where(self):
        return f"{self.path}:{self.line}"


# ---------------------------------------------------------------------------------------------
# Finding mutants


def mask_literals(code):
    """The line with the inside of string and character literals blanked, same length."""
    out = []
    quote = None
    escaped = False
    for ch in code:
        if quote:
            if escaped:
                escaped = False
                out.append(" ")
            elif ch == "\\":
                escaped = True
                out.append(" ")
            elif ch == quote:
                quote = None
                out.append(ch)
            else:
                out.append(" ")
        else:
            if ch in "\"'":
                quote = ch
            out.append(ch)
    return "".join(out)


def code_lines(text):
    """(number, line, masked code) of each line, comments blanked in the masked code."""
    result = []
    in_block = False
    for number, line in enumerate(text.split("\n"), start=1):
        masked = mask_literals(line)
        chars = list(masked)
        i = 0
        while i < len(chars):
            if in_block:
                if masked.startswith("*/", i):
                    chars[i] = chars[i + 1] = " "
                    in_block = False
                    i += 2
                    continue
                chars[i] = " "
            elif masked.startswith("//", i):
                chars[i:] = " " * (len(chars) - i)
                break
            elif masked.startswith("/*", i):
                in_block = True
                continue
            i += 1
        result.append((number, line, "".join(chars)))
    return result


def matching_paren(masked, open_at):
    depth = 0
    for i in range(open_at, len(masked)):
        if masked[i] == "(":
            depth += 1
        elif masked[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return -1


def is_declaration(statement):
    """Whether a one-line statement declares something: a type name and a variable name."""
    head = re.split(r"(?<![=!<>])(?:[-+*/%&|^]|<<|>>)?=(?!=)|\(|\{|;", statement, maxsplit=1)[0]
    head = re.sub(r"<[^<>]*>", "", re.sub(r"<[^<>]*>", "", head))  # template arguments
    if re.search(r"\.|->", head.split("[")[0]):
        return False  # a member: an expression
    words = re.findall(r"[\w:]+", head.split("[")[0])  # an array's size or an element's index
    return len(words) >= 2 and words[0] not in ("return", "delete", "throw", "if", "else")


def balanced(masked):
    return masked.count("(") == masked.count(")") and masked.count("{") == masked.count("}")


def negation_adds_nothing(condition):
    """Whether negating the condition gives nothing that another mutant does not give already
    (removing the '!' of `!x`, flipping the one equality test of `a == b`) or cannot compile."""
    if re.search(r"(?<![=!<>])=(?!=)", condition):
        return True  # a declaration: its negation would not compile
    if re.fullmatch(r"![\w.:>()-]+", condition) and balanced(condition[1:]):
        return True
    return (len(re.findall(r" (==|!=) ", condition)) == 1
            and not re.search(r" (&&|\|\||<|>|<=|>=) |\?", condition))


def line_mutants(line, masked, in_bool_function, droppable):
    """(mutated line, what) for each mutation of one line."""
    found = []

    def replace(start, end, text, what):
        found.append((line[:start] + text + line[end:], what))

    for match in re.finditer(r"(?<= )(==|!=|<=|>=|<|>)(?= )", masked):
        op = match.group(1)
        replace(match.start(), match.end(), RELATIONS[op], f"'{op}' -> '{RELATIONS[op]}'")
    for match in re.finditer(r"(?<= )(&&|\|\|)(?= )", masked):
        op = match.group(1)
        replace(match.start(), match.end(), LOGICAL[op], f"'{op}' -> '{LOGICAL[op]}'")
    for match in re.finditer(r"\bNameType::(\w+)\b", masked):
        if match.group(1) not in NAME_TYPES:
            continue
        for other in NAME_TYPES:
            if other != match.group(1):
                replace(match.start(), match.end(), f"NameType::{other}",
                        f"NameType::{match.group(1)} -> NameType::{other}")
    for match in re.finditer(r"\b(true|false)\b", masked):
        other = "false" if match.group(1) == "true" else "true"
        replace(match.start(), match.end(), other, f"'{match.group(1)}' -> '{other}'")
    returned = re.search(r"\breturn ([^;]+);", masked)
    if in_bool_function and returned and returned.group(1).strip() not in ("true", "false"):
        for value in ("true", "false"):
            replace(returned.start(1), returned.end(1), value, f"return {value}")
    for match in re.finditer(r"\b(if|while) \(", masked):
        open_at = match.end() - 1
        close_at = matching_paren(masked, open_at)
        if close_at < 0 or negation_adds_nothing(masked[open_at + 1:close_at]):
            continue  # a condition that goes on over the next line is left alone
        replace(open_at + 1, close_at, f"!({line[open_at + 1:close_at]})", "negate condition")
    for match in re.finditer(r"!(?!=)", masked):
        replace(match.start(), match.end(), "", "remove '!'")
    if droppable:
        indent = line[: len(line) - len(line.lstrip())]
        found.append((indent + ";", "drop statement"))
    body = re.search(r"\{ ([^{}]+;) \}$", masked)  # a function body on the signature's line
    if body and not re.match(r"return ", body.group(1)):
        replace(body.start(), body.end(), "{}", "drop statement")
    return found


def find_mutants(root, files=None):
    mutants = []
    for path in sorted((root / SOURCES).glob("*.cpp")):
        relative = path.relative_to(root).as_posix()
        if files and not any(name in relative for name in files):
            continue
        lines = code_lines(path.read_text())
        in_bool_function = False
        depth = 0  # parentheses left open by earlier lines
        first = ""  # the first line of the statement that is being read
        starts = True  # whether a statement may start on this line
        for index, (number, line, masked) in enumerate(lines):
            code = masked.strip()
            if not code:
                continue
            if not masked[0].isspace() and not code.startswith("}"):
                in_bool_function = masked.startswith("bool ")
            if depth == 0:
                first = code
            if not code.startswith(("#", "namespace", "using", "static_assert")):
                following = next((m.strip() for _, _, m in lines[index + 1:] if m.strip()), "")
                droppable = (starts and depth == 0 and masked[0].isspace() and code.endswith(";")
                             and balanced(code)
                             and not is_declaration(code)
                             and not (code.startswith("if ") and following.startswith("else"))
                             and not re.match(r"return \S", code))
                for mutated, what in line_mutants(line, masked, in_bool_function, droppable):
                    mutants.append(Mutant(relative, number, line, mutated, what))
            depth += code.count("(") - code.count(")")
            header = re.match(r"(\} )?(else )?(if|for|while) \(", first)
            starts = depth == 0 and (code.endswith((";", "{", "}")) or code in ("else", "} else")
                                     or (code.endswith(")") and bool(header)))
    return mutants


# ---------------------------------------------------------------------------------------------
# The list of equivalent mutants


def read_equivalents(path):
    """{(file, line, mutant): reason} from blocks of 'file:', 'line:', 'mutant:', 'why:'."""
    entries = {}
    try:
        text = path.read_text()
    except OSError as error:
        raise SetupError(f"cannot read the list of equivalent mutants: {error}") from None
    blocks = re.split(r"\n\s*\n", text)
    for block in blocks:
        fields = {}
        last = None
        for raw in block.split("\n"):
            if not raw.strip() or raw.lstrip().startswith("#"):
                continue
            if raw[0].isspace() and last:  # an indented line goes on with the field above
                fields[last] += " " + raw.strip()
                continue
            key, sep, value = raw.partition(":")
            if not sep or key.strip() not in ("file", "line", "mutant", "why"):
                raise SetupError(f"{path}: cannot read the line {raw.strip()!r}")
            last = key.strip()
            fields[last] = value.strip()
        if not fields:
            continue
        missing = [k for k in ("file", "line", "mutant", "why") if k not in fields]
        if missing:
            raise SetupError(f"{path}: an entry lacks {', '.join(missing)}: {fields}")
        entries[(fields["file"], fields["line"], fields["mutant"])] = fields["why"]
    return entries


# ---------------------------------------------------------------------------------------------
# Applying a mutant and always taking it back


HANDLED_SIGNALS = (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)


class SignalsHeld:
    """Holds back the handled signals while a source file is being written, so that no
    interruption falls between writing a mutant and noting it, or in the middle of a restore."""

    def __enter__(self):
        signal.pthread_sigmask(signal.SIG_BLOCK, HANDLED_SIGNALS)

    def __exit__(self, *_):
        signal.pthread_sigmask(signal.SIG_UNBLOCK, HANDLED_SIGNALS)


class Workspace:
    """Writes mutated sources and restores them; a note in the build folder names the file
    that is mutated while it is, so that a later run can restore a file left behind."""

    def __init__(self, root, build_dir):
        self.root = root
        self.note = build_dir / "mutated-file.json"
        self.pristine_dir = build_dir / "pristine"
        self.current = None

    def recover(self):
        """Restores a file that a run ended without restoring; returns its path or None."""
        for leftover in (self.root / SOURCES).glob(".*.mutants-tmp"):
            leftover.unlink()
        if not self.note.exists():
            return None
        relative = json.loads(self.note.read_text())["file"]
        with SignalsHeld():
            self._write(self.root / relative,
                        (self.pristine_dir / Path(relative).name).read_text())
            self.note.unlink()
        return relative

    def apply(self, mutant, text):
        lines = text.split("\n")
        if lines[mutant.line - 1] != mutant.original:
            raise SetupError(f"{mutant.where()} changed while the run went on")
        lines[mutant.line - 1] = mutant.mutated
        self.pristine_dir.mkdir(parents=True, exist_ok=True)
        with SignalsHeld():
            self._write(self.pristine_dir / Path(mutant.path).name, text)
            self._write(self.note, json.dumps({"file": mutant.path}))
            self.current = (mutant.path, text)
            self._write(self.root / mutant.path, "\n".join(lines))

    def restore(self):
        with SignalsHeld():
            if self.current:
                relative, text = self.current
                self._write(self.root / relative, text)
                self.current = None
            if self.note.exists():
                self.note.unlink()

    @staticmethod
    def _write(path, text):
        """Replaces the file whole, so that it is either as it was or as it is to be; a link
        is followed, so that the file it names is the one changed."""
        path = path.resolve()
        temporary = path.with_name(f".{path.name}.mutants-tmp")
        temporary.write_text(text)
        os.replace(temporary, path)


# ---------------------------------------------------------------------------------------------
# Building and testing


class Runner:
    def __init__(self, root, build_dir, jobs, timeout):
        self.root = root
        self.build_dir = build_dir
        self.jobs = jobs
        self.timeout = timeout
        self.process = None

    def run(self, command):
        self.process = subprocess.Popen(command, cwd=self.root, stdout=subprocess.PIPE,
                                        stderr=subprocess.STDOUT, text=True)
        try:
            output, _ = self.process.communicate()
        finally:
            if self.process.poll() is None:
                self.process.terminate()
                self.process.wait()
        return self.process.returncode, output

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()

    def configure(self):
        generator = ["-G", "Ninja"] if shutil.which("ninja") else []
        status, output = self.run(
            ["cmake", "-S", str(self.root), "-B", str(self.build_dir), *generator,
             "-DCMAKE_BUILD_TYPE=", "-DCMAKE_CXX_FLAGS=-O0 -g0",
             "-DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST"])
        if status != 0:
            raise SetupError(f"cannot configure {self.build_dir}:\n{output}")
        (self.build_dir / OWN_BUILD_MARK).touch()

    def build(self):
        return self.run(["cmake", "--build", str(self.build_dir), "-j", str(self.jobs)])

    def test(self):
        """Every test: first those labelled module, which drive the module's objects directly
        and kill most mutants in a fraction of the time, then the others if those pass."""
        for selection in (["-L", "module", "--no-tests=error"], ["-LE", "module"]):
            status, output = self.run(["ctest", "--test-dir", str(self.build_dir), "-j",
                                       str(self.jobs), "--stop-on-failure", "--timeout",
                                       str(self.timeout), "--output-on-failure", *selection])
            if status != 0:
                break
        return status, output


def outcome_of(runner, workspace, mutant, text):
    workspace.apply(mutant, text)
    try:
        status, _ = runner.build()
        if status != 0:
            return "not compiling"
        status, _ = runner.test()
        return "survived" if status == 0 else "killed"
    finally:
        workspace.restore()


# ---------------------------------------------------------------------------------------------


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--sample", type=int, metavar="N",
                        help="run N mutants drawn at random (reproducible with --seed)")
    parser.add_argument("--seed", type=int, default=1, metavar="S",
                        help="seed of the random sample (default 1)")
    parser.add_argument("--file", action="append", metavar="NAME",
                        help="only sources whose path contains NAME (repeatable)")
    parser.add_argument("--at", action="append", metavar="FILE:LINE",
                        help="only the mutants of that line, e.g. track_naming_core.cpp:31 "
                             "(repeatable)")
    parser.add_argument("--list", action="store_true", help="print the mutants and stop")
    parser.add_argument("--build-dir", default="build/mutants",
                        help="build folder, relative to the root (default build/mutants)")
    parser.add_argument("--equivalent", default=EQUIVALENT_LIST,
                        help=f"list of equivalent mutants (default {EQUIVALENT_LIST})")
    parser.add_argument("--jobs", type=int, default=2, help="build and test jobs (default 2)")
    parser.add_argument("--timeout", type=int, default=60,
                        help="seconds one test may take before it counts as failed (default 60)")
    arguments = parser.parse_args(argv)
    if arguments.sample is not None and arguments.sample < 1:
        parser.error("--sample needs a positive number")
    if arguments.jobs < 1 or arguments.timeout < 1:
        parser.error("--jobs and --timeout need positive numbers")
    return arguments


def minutes(seconds):
    return f"{int(seconds // 60)} min {seconds % 60:.0f} s"


def report(results, equivalents, elapsed, full_run):
    counts = {"killed": 0, "survived": 0, "not compiling": 0}
    unlisted = []
    listed = []
    for mutant, outcome in results:
        counts[outcome] += 1
        if outcome == "survived":
            (listed if mutant.key() in equivalents else unlisted).append(mutant)
    for title, group in (("Survivors listed as equivalent", listed),
                         ("Survivors not listed as equivalent", unlisted)):
        if group:
            print(f"\n{title}:")
            for mutant in group:
                print(f"  {mutant.where()}  {mutant.what}\n"
                      f"    line:   {mutant.original.strip()}\n"
                      f"    mutant: {mutant.mutated.strip()}")
    seen = {mutant.key(): outcome for mutant, outcome in results}
    for key in sorted(equivalents):
        if key in seen and seen[key] != "survived":
            print(f"warning: listed as equivalent but {seen[key]}: {key[0]}: {key[2]}")
        elif full_run and key not in seen:
            print(f"warning: listed as equivalent but no such mutant: {key[0]}: {key[1]}")
    compiled = counts["killed"] + counts["survived"]
    print(f"\n{len(results)} mutants: {counts['killed']} killed, {counts['survived']} survived "
          f"({len(listed)} listed as equivalent), {counts['not compiling']} not compiling")
    if compiled:
        score = 100.0 * counts["killed"] / compiled
        judged = compiled - len(listed)
        print(f"mutation score {score:.1f}% of the mutants that compile; "
              f"{100.0 * counts['killed'] / judged if judged else 100.0:.1f}% "
              f"without the equivalent ones")
    print(f"took {minutes(elapsed)}")
    return 1 if unlisted else 0


def main(argv):
    arguments = parse_arguments(argv)
    started = time.monotonic()
    equivalents = read_equivalents(ROOT / arguments.equivalent)
    build_dir = (ROOT / arguments.build_dir).resolve()
    workspace = Workspace(ROOT, build_dir)
    recovered = workspace.recover()
    if recovered:
        print(f"restored {recovered}, left mutated by an earlier run")

    mutants = find_mutants(ROOT, arguments.file)
    if arguments.at:
        mutants = [m for m in mutants if any(m.where().endswith("/" + at) for at in arguments.at)]
    if arguments.sample is not None and arguments.sample < len(mutants):
        chosen = random.Random(arguments.seed).sample(range(len(mutants)), arguments.sample)
        mutants = [mutants[i] for i in sorted(chosen)]
    if arguments.list:
        for mutant in mutants:
            print(f"{mutant.where()}  {mutant.what}: {mutant.mutated.strip()}")
        print(f"{len(mutants)} mutants")
        return 0

    if (build_dir / "CMakeCache.txt").exists() and not (build_dir / OWN_BUILD_MARK).exists():
        raise SetupError(f"{build_dir} is a build folder of something else; name another")
    runner = Runner(ROOT, build_dir, arguments.jobs, arguments.timeout)

    def interrupt(signum, _frame):
        runner.stop()
        raise Interrupted(signal.Signals(signum).name)

    for signum in HANDLED_SIGNALS:
        signal.signal(signum, interrupt)

    texts = {}
    results = []
    try:
        runner.configure()
        # Objects left by an earlier run may be of a mutant if a source was put back with an
        # older time stamp (a checkout, an archive): the unmutated build compiles them anew.
        for source in (ROOT / SOURCES).glob("*.cpp"):
            source.touch()
        for step, command in (("build", runner.build), ("tests", runner.test)):
            status, output = command()
            if status != 0:
                raise SetupError(f"the unmutated tree fails its {step}:\n{output[-4000:]}")
        print(f"unmutated tree builds and passes its tests ({minutes(time.monotonic() - started)}); "
              f"{len(mutants)} mutants", flush=True)
        for number, mutant in enumerate(mutants, start=1):
            if mutant.path not in texts:
                texts[mutant.path] = (ROOT / mutant.path).read_text()
            began = time.monotonic()
            outcome = outcome_of(runner, workspace, mutant, texts[mutant.path])
            results.append((mutant, outcome))
            marker = " (listed)" if outcome == "survived" and mutant.key() in equivalents else ""
            print(f"[{number:>4}/{len(mutants)}] {outcome:<13} {mutant.where()}  {mutant.what}"
                  f"{marker}  {time.monotonic() - began:.1f} s", flush=True)
    except Interrupted as signal_name:
        workspace.restore()
        print(f"interrupted by {signal_name}; sources restored", file=sys.stderr)
        return 130
    finally:
        workspace.restore()
    full_run = arguments.sample is None and not arguments.file and not arguments.at
    return report(results, equivalents, time.monotonic() - started, full_run)


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv[1:]))
    except SetupError as error:
        print(f"mutants.py: {error}", file=sys.stderr)
        sys.exit(2)
    except BrokenPipeError:
        # The reader of the output went away; the sources were restored on the way out.
        sys.stderr.close()
        sys.exit(2)
    except OSError as error:
        print(f"mutants.py: {error}", file=sys.stderr)
        sys.exit(2)
