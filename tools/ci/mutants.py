#!/usr/bin/env python3
"""Mutation testing of the module's sources.

Makes one single-line change at a time to plugin/src/*.cpp, rebuilds the tree in its own build
folder, runs every CTest test there and tells whether some test failed (killed), none did
(survived) or the change does not compile. A survivor that the list of equivalent mutants does
not name makes the run fail. The operators, by the name that --operator takes and the report
counts them under:

  relational      a comparison replaced by each other comparison
  logical         '&&' and '||' replaced by each other
  operand-swap    two operands of '&&' or '||' swapped, where one makes a call (the order of
                  the calls they make)
  negation        a condition negated, a '!' removed
  boolean         true and false swapped; a bool function made to return true, false
  integer         an integer literal replaced by 0, 1, -1, n+1 and n-1
  string          a string or character literal emptied or altered; an empty symbol given text
  enumerator      an enumerator replaced by each other value of its enumeration
  argument        a call's argument replaced by its type's empty value ({}); a start position
                  added to a first-occurrence search; find <-> find_first_of, rfind
  statement       a statement that makes no host call deleted
  call-deletion   a statement that makes a host call deleted
  call-repeat     a host call made twice
  base-call       the base implementation's call inserted into an override that makes none

A host call is a call of an operation that the host stand-in records (QM_HOST_CALL in
host/src). A sample (--sample) draws from every operator in turn, so that each is tried.

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
RELATIONS = ("==", "!=", "<", "<=", ">", ">=")
LOGICAL = {"&&": "||", "||": "&&"}
# The enumerations whose enumerators the module uses, each with all its values.
ENUMERATIONS = (
    tuple(f"NameType::{name}" for name in NAME_TYPES),
    ("CT_Standard", "CT_Balloon", "CT_Sbom"),
    ("TT_Root", "TT_Folder", "TT_AnnotationFolder", "TT_Item"),
    ("ReturnMessageId", "ReturnEmpty"),
)
# Overrides that make no call of their base implementation, each with its base's name.
NO_BASE_CALL = ("CopyFrom", "Save", "Load", "InitDisplayName", "GetSelectionItem")
NOT_CALLS = {"if", "while", "for", "switch", "return", "sizeof", "static_cast", "dynamic_cast",
             "reinterpret_cast", "const_cast", "decltype", "alignof", "defined"}
OPERATORS = ("relational", "logical", "operand-swap", "negation", "boolean", "integer", "string",
             "enumerator", "argument", "statement", "call-deletion", "call-repeat", "base-call")


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
    operator: str  # one of OPERATORS

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


def host_call_names(root):
    """The last part of each name that the stand-in records a host call under."""
    names = set()
    for path in (root / "host" / "src").glob("*.cpp"):
        for full in re.findall(r'QM_HOST_CALL\("([^"]+)"\)', path.read_text()):
            names.add(re.sub(r"\(.*\)$", "", full).split("::")[-1])
    return frozenset(name for name in names if re.fullmatch(r"[A-Z]\w*", name))


def split_top(masked, start, end, separators):
    """Positions (start, end) of the pieces of masked[start:end] between separators that stand
    outside any parentheses, brackets or braces, and the separators found."""
    pieces, found, depth, begin = [], [], 0, start
    i = start
    while i < end:
        ch = masked[i]
        if ch in "([{":
            depth += 1
        elif ch in ")]}":
            depth -= 1
        elif depth == 0:
            hit = next((sep for sep in separators if masked.startswith(sep, i)), None)
            if hit:
                pieces.append((begin, i))
                found.append(hit.strip())
                i += len(hit)
                begin = i
                continue
        i += 1
    pieces.append((begin, end))
    return pieces, found


def call_spans(masked):
    """(name start, name end, open parenthesis, close parenthesis) of each call on the line."""
    spans = []
    for match in re.finditer(r"(\w+)\s*(<[^<>()]*>)?\(", masked):
        if match.group(1) in NOT_CALLS or match.group(1).isdigit():
            continue
        open_at = match.end() - 1
        close_at = matching_paren(masked, open_at)
        if close_at > 0:
            spans.append((match.start(1), match.end(1), open_at, close_at))
    return spans


def callee_start(masked, name_start):
    """Where the expression that names a called operation begins (`a->b.c::Name`), or -1 when it
    begins with a call or a subscript, which a copy would make twice."""
    i = name_start
    while i > 0:
        if masked[i - 1].isalnum() or masked[i - 1] == "_":
            i -= 1
        elif masked[i - 2:i] in ("->", "::"):
            i -= 2
        elif masked[i - 1] == ".":
            i -= 1
        else:
            break
    return -1 if i > 0 and masked[i - 1] in ")]" else i


def integer_values(literal):
    value = int(literal, 0)
    return [v for v in dict.fromkeys((0, 1, -1, value + 1, value - 1)) if v != value]


def line_mutants(line, masked, context):
    """(mutated line, what, operator) for each mutation of one line."""
    found = []

    def replace(start, end, text, what, operator):
        found.append((line[:start] + text + line[end:], what, operator))

    for match in re.finditer(r"(?<= )(==|!=|<=|>=|<|>)(?= )", masked):
        op = match.group(1)
        for other in RELATIONS:
            if other != op:
                replace(match.start(), match.end(), other, f"'{op}' -> '{other}'", "relational")
    for match in re.finditer(r"(?<= )(&&|\|\|)(?= )", masked):
        op = match.group(1)
        replace(match.start(), match.end(), LOGICAL[op], f"'{op}' -> '{LOGICAL[op]}'", "logical")
    groups = [(o + 1, c) for _, _, o, c in call_spans(masked)]
    groups += [(o + 1, matching_paren(masked, o)) for o in
               (m.end() - 1 for m in re.finditer(r"(?<![\w>])\(", masked))]
    expression = re.search(r"(?:\breturn |(?<![=!<>])=(?!=) )([^;]+);", masked)
    if expression:
        groups.append((expression.start(1), expression.end(1)))
    for begin, end in dict.fromkeys(groups):
        if end < 0:
            continue
        pieces, ops = split_top(masked, begin, end, (" && ", " || "))
        if not ops or len(set(ops)) > 1 or split_top(masked, begin, end, (",",))[1]:
            continue
        if not any(re.search(r"\b[A-Z]\w*\s*\(", masked[a:b]) for a, b in pieces):
            continue  # operands that call no operation of the host's or the module's (those
            # are named in CamelCase, the standard library's in lower case): only time differs
        texts = [line[a:b].strip() for a, b in pieces]
        for i in range(len(texts) - 1):
            swapped = texts[:i] + [texts[i + 1], texts[i]] + texts[i + 2:]
            replace(begin, end, f" {ops[0]} ".join(swapped),
                    f"operands {i + 1} and {i + 2} of '{ops[0]}' swapped", "operand-swap")
    for group in ENUMERATIONS:
        for match in re.finditer(r"\b(" + "|".join(group) + r")\b", masked):
            for other in group:
                if other != match.group(1):
                    replace(match.start(), match.end(), other, f"{match.group(1)} -> {other}",
                            "enumerator")
    for match in re.finditer(r"\b(true|false)\b", masked):
        other = "false" if match.group(1) == "true" else "true"
        replace(match.start(), match.end(), other, f"'{match.group(1)}' -> '{other}'", "boolean")
    returned = re.search(r"\breturn ([^;]+);", masked)
    if context["bool"] and returned and returned.group(1).strip() not in ("true", "false"):
        for value in ("true", "false"):
            replace(returned.start(1), returned.end(1), value, f"return {value}", "boolean")
    for match in re.finditer(r"(?<![\w.])(0[xX][0-9a-fA-F]+|\d+)(?![\w.])", masked):
        literal = match.group(1)
        for value in integer_values(literal):
            replace(match.start(), match.end(), f"({value})", f"{literal} -> {value}", "integer")
    if not re.match(r"\s*extern ", masked):
        for match in re.finditer(r"(\"|')([^\"']*)\1", masked):
            quote, text = match.group(1), line[match.start(2):match.end(2)]
            if quote == "'":
                replace(match.start(), match.end(), "'~'" if text != "~" else "'x'",
                        f"{quote}{text}{quote} -> '~'", "string")
                continue
            if text:
                replace(match.start(), match.end(), '""', f'"{text}" -> ""', "string")
            replace(match.start(), match.end(), f'"{text}~"', f'"{text}" -> "{text}~"', "string")
    for match in re.finditer(r"\bdu::Symbol::EMPTY\b", masked):
        replace(match.start(), match.end(), 'du::Symbol("~")', "EMPTY -> \"~\"", "string")
    for match in re.finditer(r"\b(if|while) \(", masked):
        open_at = match.end() - 1
        close_at = matching_paren(masked, open_at)
        if close_at < 0 or negation_adds_nothing(masked[open_at + 1:close_at]):
            continue  # a condition that goes on over the next line is left alone
        replace(open_at + 1, close_at, f"!({line[open_at + 1:close_at]})", "negate condition",
                "negation")
    for match in re.finditer(r"!(?!=)", masked):
        replace(match.start(), match.end(), "", "remove '!'", "negation")
    hosts = context["host_calls"]
    definition = not masked[:1].isspace()
    for name_start, name_end, open_at, close_at in call_spans(masked):
        name = masked[name_start:name_end]
        if not definition:
            for a, b in split_top(masked, open_at + 1, close_at, (",",))[0]:
                argument = masked[a:b].strip()
                if argument and not re.fullmatch(r'\{\}|-?\d+|"\s*"|\S*EMPTY|true|false',
                                                 argument):
                    replace(a, b, "{}" if a == open_at + 1 else " {}",
                            f"argument '{line[a:b].strip()}' -> {{}}", "argument")
        if name in ("find", "rfind", "find_first_of") and masked[name_start - 1] == ".":
            for other in {"find": ("find_first_of", "rfind"), "rfind": ("find",),
                          "find_first_of": ("find",)}[name]:
                replace(name_start, name_end, other, f"{name} -> {other}", "argument")
            if name == "find" and not split_top(masked, open_at + 1, close_at, (",",))[1]:
                replace(close_at, close_at, ", 1", "start position 1 added to find", "argument")
        begin = callee_start(masked, name_start)
        if name in hosts and not definition and begin >= 0 and not re.match(
                r"IllustrationItemTrack::", masked[begin:]):
            call = line[begin:close_at + 1]
            replace(begin, close_at + 1, f"({call}, {call})", f"host call {name} made twice",
                    "call-repeat")
    if context["droppable"]:
        indent = line[: len(line) - len(line.lstrip())]
        host_call = any(masked[a:b] in hosts for a, b, _, _ in call_spans(masked))
        found.append((indent + ";", "drop statement",
                      "call-deletion" if host_call else "statement"))
    body = re.search(r"\{ ([^{}]+;) \}$", masked)  # a function body on the signature's line
    if body and not re.match(r"return ", body.group(1)):
        replace(body.start(), body.end(), "{}", "drop statement", "statement")
    if context["base_call"] and masked.rstrip().endswith("{"):
        name, arguments = context["base_call"]
        found.append((line + f" animation::ItemTrackData::{name}({arguments});",
                      f"base {name} called", "base-call"))
    return found


def base_call_of(lines, index):
    """(name, arguments) when the definition that starts on this line is an override that makes
    no base call, for the base call to be inserted where its body opens; else None."""
    masked = lines[index][2]
    match = re.search(r"IllustrationItemTrack::(\w+)\(", masked)
    if not match or match.group(1) not in NO_BASE_CALL or masked[:1].isspace():
        return None
    signature = ""
    for _, _, following in lines[index:]:
        signature += following
        if following.rstrip().endswith("{"):
            break
    parameters = signature[signature.index("(", match.start()) + 1:signature.rindex(")")]
    names = [re.findall(r"\w+", p)[-1] for p in parameters.split(",") if p.strip()]
    return match.group(1), ", ".join(names)


def find_mutants(root, files=None):
    mutants = []
    hosts = host_call_names(root)
    for path in sorted((root / SOURCES).glob("*.cpp")):
        relative = path.relative_to(root).as_posix()
        if files and not any(name in relative for name in files):
            continue
        lines = code_lines(path.read_text())
        in_bool_function = False
        base_call = None  # the base call to insert where the body of this definition opens
        depth = 0  # parentheses left open by earlier lines
        first = ""  # the first line of the statement that is being read
        starts = True  # whether a statement may start on this line
        for index, (number, line, masked) in enumerate(lines):
            code = masked.strip()
            if not code:
                continue
            if not masked[0].isspace() and not code.startswith("}"):
                in_bool_function = masked.startswith("bool ")
                base_call = base_call_of(lines, index) or (base_call if depth else None)
            if depth == 0:
                first = code
            if not code.startswith(("#", "namespace", "using", "static_assert")):
                following = next((m.strip() for _, _, m in lines[index + 1:] if m.strip()), "")
                droppable = (starts and depth == 0 and masked[0].isspace() and code.endswith(";")
                             and balanced(code)
                             and not is_declaration(code)
                             and not (code.startswith("if ") and following.startswith("else"))
                             and not re.match(r"return \S", code))
                context = {"bool": in_bool_function, "droppable": droppable, "host_calls": hosts,
                           "base_call": base_call if code.endswith("{") else None}
                for mutated, what, operator in line_mutants(line, masked, context):
                    mutants.append(Mutant(relative, number, line, mutated, what, operator))
                if code.endswith("{"):
                    base_call = None
            depth += code.count("(") - code.count(")")
            header = re.match(r"(\} )?(else )?(if|for|while) \(", first)
            starts = depth == 0 and (code.endswith((";", "{", "}")) or code in ("else", "} else")
                                     or (code.endswith(")") and bool(header)))
    return mutants


def stratified_sample(mutants, size, seed):
    """`size` mutants drawn in turn from each operator's own shuffled list, so that every
    operator is tried once the sample is as large as the number of operators."""
    rng = random.Random(seed)
    pools = {}
    for index, mutant in enumerate(mutants):
        pools.setdefault(mutant.operator, []).append(index)
    for pool in pools.values():
        rng.shuffle(pool)
    order = sorted(pools)
    rng.shuffle(order)
    chosen = []
    while len(chosen) < size:
        for operator in order:
            if pools[operator] and len(chosen) < size:
                chosen.append(pools[operator].pop())
    return [mutants[i] for i in sorted(chosen)]


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
    parser.add_argument("--operator", action="append", metavar="NAME", choices=OPERATORS,
                        help="only the mutants of that operator (repeatable): "
                             + ", ".join(OPERATORS))
    parser.add_argument("--list", action="store_true",
                        help="print the mutants and their count per operator, and stop")
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
                print(f"  {mutant.where()}  [{mutant.operator}] {mutant.what}\n"
                      f"    line:   {mutant.original.strip()}\n"
                      f"    mutant: {mutant.mutated.strip()}")
    seen = {mutant.key(): outcome for mutant, outcome in results}
    for key in sorted(equivalents):
        if key in seen and seen[key] != "survived":
            print(f"warning: listed as equivalent but {seen[key]}: {key[0]}: {key[2]}")
        elif full_run and key not in seen:
            print(f"warning: listed as equivalent but no such mutant: {key[0]}: {key[1]}")
    by_operator = {}
    for mutant, outcome in results:
        row = by_operator.setdefault(mutant.operator, {"killed": 0, "survived": 0,
                                                        "not compiling": 0})
        row[outcome] += 1
    print(f"\n{'operator':<14} {'mutants':>7} {'killed':>7} {'survived':>8} {'not compiling':>13}")
    for operator in OPERATORS:
        if operator in by_operator:
            row = by_operator[operator]
            print(f"{operator:<14} {sum(row.values()):>7} {row['killed']:>7} {row['survived']:>8} "
                  f"{row['not compiling']:>13}")
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

    mutants = find_mutants(ROOT, arguments.file)
    if arguments.at:
        mutants = [m for m in mutants if any(m.where().endswith("/" + at) for at in arguments.at)]
    if arguments.operator:
        mutants = [m for m in mutants if m.operator in arguments.operator]
    if arguments.sample is not None and arguments.sample < len(mutants):
        mutants = stratified_sample(mutants, arguments.sample, arguments.seed)
    if arguments.list:
        for mutant in mutants:
            print(f"{mutant.where()}  [{mutant.operator}] {mutant.what}: {mutant.mutated.strip()}")
        counts = {}
        for mutant in mutants:
            counts[mutant.operator] = counts.get(mutant.operator, 0) + 1
        print(", ".join(f"{operator} {counts[operator]}" for operator in OPERATORS
                        if operator in counts))
        print(f"{len(mutants)} mutants")
        return 0

    # Only a run restores a file left mutated: a listing may be made while another run goes on.
    recovered = workspace.recover()
    if recovered:
        print(f"restored {recovered}, left mutated by an earlier run")
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
            print(f"[{number:>4}/{len(mutants)}] {outcome:<13} {mutant.where()}  "
                  f"[{mutant.operator}] {mutant.what}"
                  f"{marker}  {time.monotonic() - began:.1f} s", flush=True)
    except Interrupted as signal_name:
        workspace.restore()
        print(f"interrupted by {signal_name}; sources restored", file=sys.stderr)
        return 130
    finally:
        workspace.restore()
    full_run = (arguments.sample is None and not arguments.file and not arguments.at
                and not arguments.operator)
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
