#!/usr/bin/env python3
"""Measures the test suite by the faults it catches.

Plants small faults in the product code one at a time (a comparison flipped or
loosened, a constant off by one, a condition negated, a statement removed, one of two
similar calls or failure numbers for the other), rebuilds, runs the tests that link the
changed code, and reports the faults no test caught, with file and line, and the score
per folder.

The faults are planted in a private copy of the sources (build/mutate/src), never in
the work tree: an interrupted run leaves nothing changed, and the work tree can be
edited meanwhile. Each run first brings the copy up to date with the work tree.

A survivor that cannot change what the program does is listed, with the reason, in
tools/mutate-equivalent.txt; it is then reported apart and left out of the score.

    tools/mutate.py [--list] [--every N] [FILE...]

With no FILE, every portable product file: scan/, browse/, window/ (the logic, not
the toolkit front ends), platform/ and platform/posix/.
"""

import argparse
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import time
import zlib
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
WORK = ROOT / "build" / "mutate"
COPY = WORK / "src"
BUILD = WORK / "build"
EQUIVALENT = ROOT / "tools" / "mutate-equivalent.txt"

PRODUCT_FOLDERS = ["scan", "browse", "window", "platform", "platform/posix"]
# Tests that check the package, the pictures or the build itself, not behaviour.
SKIPPED_TESTS = re.compile(r"^(resources\.|tests\.stable_names|bench_smoke)")

# Operators for whole tokens, written with the spaces the code puts around them, so a
# template's angle brackets or a stream's "<<" are never taken for a comparison.
SWAPS = [
    (" < ", " <= ", "loosened"), (" <= ", " < ", "tightened"),
    (" > ", " >= ", "loosened"), (" >= ", " > ", "tightened"),
    (" == ", " != ", "negated"), (" != ", " == ", "negated"),
    (" && ", " || ", "weakened"), (" || ", " && ", "strengthened"),
    (" + ", " - ", "sign"), (" - ", " + ", "sign"),
    (" += ", " -= ", "sign"), (" -= ", " += ", "sign"),
    ("++", "--", "step"), ("--", "++", "step"),
    ("true", "false", "flipped"), ("false", "true", "flipped"),
]

# One of two similar calls or names for the other.
PAIRS = [
    ("find_first_of", "find_last_of"), ("find_first_not_of", "find_last_not_of"),
    ("rbegin", "begin"), ("rend", "end"), ("front", "back"),
    ("std::min", "std::max"), ("remove_prefix", "remove_suffix"),
    ("starts_with", "ends_with"), ("any_of", "all_of"), ("memchr", "memrchr"),
    ("Text1", "Text2"), ("inputName", "outputName"), ("Input", "Output"),
    ("Vector", "Scalar"), ("O_RDONLY", "O_WRONLY"), ("st_dev", "st_ino"),
]

FAILURES = ["Overflow", "OutOfMemory", "BadFileName", "FileNotFound", "FileAlreadyOpen",
            "DeviceIoError", "FileTooLarge", "DiskFull", "InputPastEnd", "TooManyFiles",
            "DeviceUnavailable", "PermissionDenied", "PathFileAccessError", "PathNotFound",
            "ComponentError"]

NOT_STATEMENTS = re.compile(
    r"^\s*(return|break|continue|case|default|using|typedef|namespace|static|const|"
    r"constexpr|auto|enum|struct|class|template|friend|explicit|virtual|public|private|"
    r"protected|std::|char|int|bool|unsigned|long|short|float|double|void|[A-Z]\w*\s+\w+\s*[;({=])")


@dataclass
class Mutant:
    path: str        # relative to the root
    line: int        # 1-based
    original: str    # the line as written
    mutated: str
    what: str

    def key(self):
        return f"{self.path} | {self.original.strip()} | {self.what}"


def code_spans(line):
    """The parts of a line outside comments and string or character literals."""
    spans, start, i, quote = [], 0, 0, None
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                i += 2
                continue
            if c == quote:
                quote, start = None, i + 1
        elif c in "\"'":
            # A digit separator (32'767) is no character literal.
            if c == "'" and i > 0 and line[i - 1].isdigit() and i + 1 < len(line) and line[i + 1].isdigit():
                i += 1
                continue
            spans.append((start, i))
            quote = c
        elif line.startswith("//", i):
            spans.append((start, i))
            return spans
        i += 1
    if not quote:
        spans.append((start, len(line)))
    return spans


def replacements(line, old, new, word=False):
    """Each occurrence of `old` in code, replaced alone."""
    for begin, end in code_spans(line):
        at = line.find(old, begin, end)
        while at != -1 and at + len(old) <= end:
            ok = True
            if word:
                before = line[at - 1] if at else " "
                after = line[at + len(old)] if at + len(old) < len(line) else " "
                ok = not (before.isalnum() or before == "_") and not (after.isalnum() or after == "_")
            if ok:
                yield line[:at] + new + line[at + len(old):]
            at = line.find(old, at + 1, end)


def mutants_of(path):
    text = (ROOT / path).read_text(encoding="utf-8").split("\n")
    found = []
    in_comment = False
    for number, line in enumerate(text, start=1):
        stripped = line.strip()
        if in_comment:
            in_comment = "*/" not in stripped
            continue
        if stripped.startswith("/*"):
            in_comment = "*/" not in stripped
            continue
        if not stripped or stripped.startswith(("#", "//", "static_assert")):
            continue

        def add(mutated, what):
            if mutated != line:
                found.append(Mutant(path, number, line, mutated, what))

        for old, new, kind in SWAPS:
            for mutated in replacements(line, old, new, word=old.isalpha()):
                add(mutated, f"{kind}: '{old.strip()}' -> '{new.strip()}'")
        for a, b in PAIRS:
            for old, new in ((a, b), (b, a)):
                for mutated in replacements(line, old, new, word=True):
                    add(mutated, f"call: {old} -> {new}")
        for i, name in enumerate(FAILURES):
            other = FAILURES[(i + 1) % len(FAILURES)]
            for mutated in replacements(line, f"Failure::{name}", f"Failure::{other}", word=True):
                add(mutated, f"failure: {name} -> {other}")
        # Negation removed.
        for begin, end in code_spans(line):
            for match in re.finditer(r"!(?!=)", line[begin:end]):
                at = begin + match.start()
                add(line[:at] + line[at + 1:], "negation removed")
        # Integer constants off by one.
        for begin, end in code_spans(line):
            for match in re.finditer(r"(?<![\w.'])(0x[0-9a-fA-F]+|\d[\d']*)(?![\w.'])", line[begin:end]):
                token = match.group(1)
                if len(token) > 1 and token[0] == "0" and not token.startswith("0x"):
                    continue  # file modes, in octal
                value = int(token.replace("'", ""), 0)
                at, stop = begin + match.start(1), begin + match.end(1)
                other = value - 1 if value > 1 else value + 1
                spelt = hex(other) if token.startswith("0x") else str(other)
                add(line[:at] + spelt + line[stop:], f"constant: {token} -> {spelt}")
        # A condition negated.
        match = re.search(r"\b(if|while) \((.*)\)( \{| return .*;|)$", line)
        if match and match.group(2).count("(") == match.group(2).count(")"):
            condition = match.group(2)
            add(line[:match.start(2)] + f"!({condition})" + line[match.end(2):], "condition negated")
        # A statement removed.
        if (stripped.endswith(";") and not NOT_STATEMENTS.match(line)
                and re.search(r"[(=]|\+\+|--", stripped) and not stripped.startswith(("}", "{", ")"))
                and (number < 2 or not text[number - 2].rstrip().endswith((",", "(", "=", "&&", "||", "?", ":", "+")))):
            indent = line[: len(line) - len(line.lstrip())]
            add(indent + ";", "statement removed")
    return found


def load_equivalent():
    known = {}
    if EQUIVALENT.exists():
        for entry in EQUIVALENT.read_text(encoding="utf-8").splitlines():
            if entry.strip() and not entry.startswith("#"):
                parts = [p.strip() for p in entry.split(" | ")]
                if len(parts) >= 4:
                    known[" | ".join(parts[:3])] = " | ".join(parts[3:])
    return known


def sync_copy():
    """Brings the private copy up to date with the work tree's files, changing only
    what differs, so the copy's build stays incremental."""
    listed = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=ROOT,
                            capture_output=True, check=True).stdout.decode().split("\0")
    wanted = set()
    for name in filter(None, listed):
        source = ROOT / name
        if not source.is_file():
            continue
        wanted.add(name)
        target = COPY / name
        if not target.exists() or target.read_bytes() != source.read_bytes():
            target.parent.mkdir(parents=True, exist_ok=True)
            shutil.copy2(source, target)
    for target in COPY.rglob("*"):
        if target.is_file() and str(target.relative_to(COPY)) not in wanted:
            target.unlink()


def build():
    result = subprocess.run(["cmake", "--build", str(BUILD)], capture_output=True, text=True)
    return result.returncode == 0, result.stdout + result.stderr


def test_plan():
    """What ctest would run, by executable: each program once with all its cases, so a
    program of 100 cases starts once, not 100 times."""
    # ctest lists what it knows even when it says it failed to discover some program's
    # cases; those are run whole all the same.
    shown = subprocess.run(["ctest", "--test-dir", str(BUILD), "--show-only=json-v1"],
                           capture_output=True, text=True).stdout
    plan = {}
    for test in json.loads(shown)["tests"]:
        if SKIPPED_TESTS.match(test["name"]) or "command" not in test:
            continue
        command = test["command"]
        environment = {}
        for prop in test.get("properties", []):
            if prop["name"] == "ENVIRONMENT":
                environment.update(v.split("=", 1) for v in prop["value"])
        if any(arg.startswith("--gtest_filter=") for arg in command):
            command = [arg for arg in command if not arg.startswith("--gtest_")]
        key = tuple(command)
        plan.setdefault(key, {"command": command, "environment": environment, "seconds": 0.0})
        plan[key]["environment"].update(environment)
    return list(plan.values())


def binaries(command):
    return [Path(arg) for arg in command if arg.startswith(str(BUILD)) and Path(arg).is_file()]


def run_tests(plan, since=None, stop_at_failure=True):
    """Runs the programs that link what changed since `since` (all when None), fastest
    first. Returns the name of the first that failed, or None."""
    for item in sorted(plan, key=lambda p: p["seconds"]):
        if since is not None and not any(b.stat().st_mtime_ns > since for b in binaries(item["command"])):
            continue
        environment = dict(os.environ, **item["environment"])
        started = time.monotonic()
        limit = None if since is None else max(30.0, 10 * item["seconds"])
        try:
            result = subprocess.run(item["command"], env=environment, stdin=subprocess.DEVNULL,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                    timeout=limit, start_new_session=True)
            failed = result.returncode != 0
        except subprocess.TimeoutExpired:
            failed = True
        if since is None:
            item["seconds"] = time.monotonic() - started
        if failed:
            if stop_at_failure:
                return " ".join(item["command"][:2])
            print(f"  failing before any fault: {' '.join(item['command'])}")
    return None


def folder_of(path):
    parts = Path(path).parts
    return "platform/posix" if parts[:2] == ("platform", "posix") else parts[0]


def default_files():
    files = []
    for folder in PRODUCT_FOLDERS:
        for path in sorted((ROOT / folder).glob("*")):
            if path.suffix in (".cpp", ".h") and path.is_file():
                files.append(str(path.relative_to(ROOT)))
    return files


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("files", nargs="*", help="product files, relative to the root")
    parser.add_argument("--list", action="store_true", help="list the faults without running them")
    parser.add_argument("--again", metavar="LOG",
                        help="plant the faults that survived in an earlier run's output (besides those of any FILE)")
    parser.add_argument("--killed", metavar="KEYS",
                        help="count the faults listed (one key a line, as the survivors are keyed) as caught "
                             "by an earlier run of a suite that has only grown since, and do not plant them")
    parser.add_argument("--every", type=int, default=1,
                        help="plant about one fault in N, the same ones from run to run")
    arguments = parser.parse_args()

    files = [str(Path(f).resolve().relative_to(ROOT)) for f in arguments.files]
    if not files and not arguments.again:
        files = default_files()
    mutants = []
    for path in files:
        # A sample chosen by the fault itself, not by its place in the list, so that the
        # same faults are planted before and after a change elsewhere in the file.
        mutants += [m for m in mutants_of(path)
                    if zlib.crc32(m.key().encode()) % max(1, arguments.every) == 0]
    if arguments.again:
        marker = "to explain: "
        wanted = {line.split(marker, 1)[1].rsplit(" | ", 1)[0].strip()
                  for line in Path(arguments.again).read_text(encoding="utf-8").splitlines() if marker in line}
        planted = {(m.key(), m.line, m.mutated) for m in mutants}
        for path in default_files():
            mutants += [m for m in mutants_of(path) if m.key() in wanted and (m.key(), m.line, m.mutated) not in planted]
    if arguments.list:
        for m in mutants:
            print(f"{m.path}:{m.line}: {m.what}\n    {m.original.strip()}\n -> {m.mutated.strip()}")
        print(f"{len(mutants)} faults")
        return 0

    known = load_equivalent()
    earlier = set()
    if arguments.killed:
        earlier = {line.strip() for line in Path(arguments.killed).read_text(encoding="utf-8").splitlines()}
    COPY.mkdir(parents=True, exist_ok=True)
    sync_copy()
    # The tests run as `./dev.sh check` runs them, under the address and undefined-
    # behaviour sanitizers, and with the standard library's bounds checks: a fault that
    # reads or writes out of bounds is caught there even when its answer looks right.
    sanitizers = "-fsanitize=address,undefined -fno-sanitize-recover=undefined"
    subprocess.run(["cmake", "-S", str(COPY), "-B", str(BUILD), "-G", "Ninja",
                    "-DCMAKE_BUILD_TYPE=Debug", f"-DCMAKE_CXX_FLAGS=-O1 -D_GLIBCXX_ASSERTIONS {sanitizers}",
                    "-DCMAKE_CXX_FLAGS_DEBUG=", f"-DCMAKE_EXE_LINKER_FLAGS={sanitizers}",
                    "-DPAGESIFT_BUILD_BENCH=OFF", "-DPAGESIFT_HARDENING=OFF",
                    "-DPAGESIFT_WARNINGS_AS_ERRORS=OFF"], check=True, stdout=subprocess.DEVNULL)
    ok, log = build()
    if not ok:
        print(log)
        print("The sources do not build as they are.")
        return 1
    plan = test_plan()
    if run_tests(plan, stop_at_failure=False):
        return 1
    print(f"{len(mutants)} faults in {len(files)} files; the suite takes "
          f"{sum(p['seconds'] for p in plan):.1f} s without them.")

    # A fault is taken out on every way out: the next file's copy is always the original.
    current = {}

    def restore(*_):
        for path, original in current.items():
            (COPY / path).write_text(original, encoding="utf-8")
        current.clear()

    def interrupted(signum, _frame):
        restore()
        sys.exit(128 + signum)

    signal.signal(signal.SIGINT, interrupted)
    signal.signal(signal.SIGTERM, interrupted)

    scores = {}
    survivors, explained = [], []
    planted = []
    for m in mutants:
        folder = scores.setdefault(folder_of(m.path), {"killed": 0, "survived": 0, "equivalent": 0, "invalid": 0})
        if m.key() in earlier:
            folder["killed"] += 1
        elif m.key() in known:
            folder["equivalent"] += 1
            explained.append((m, known[m.key()]))
        else:
            planted.append(m)
    if len(planted) < len(mutants):
        print(f"{len(mutants) - len(planted)} faults caught before or known not to change behaviour; "
              f"{len(planted)} to plant.")
    mutants = planted
    try:
        for index, m in enumerate(mutants, start=1):
            target = COPY / m.path
            original = target.read_text(encoding="utf-8")
            lines = original.split("\n")
            lines[m.line - 1] = m.mutated
            current[m.path] = original
            target.write_text("\n".join(lines), encoding="utf-8")
            started = time.time_ns()
            compiled, _ = build()
            if not compiled:
                verdict = "invalid"
            else:
                verdict = "killed" if run_tests(plan, since=started) else "survived"
            restore()
            folder = scores[folder_of(m.path)]
            if verdict == "survived":
                survivors.append(m)
            folder[verdict] += 1
            print(f"[{index}/{len(mutants)}] {verdict:10} {m.path}:{m.line}  {m.what}", flush=True)
            if verdict == "survived":
                print(f"      {m.original.strip()}\n   -> {m.mutated.strip()}", flush=True)
    finally:
        restore()
        build()

    print("\nSurvivors (no test failed):")
    for m in survivors:
        print(f"  {m.path}:{m.line}: {m.what}\n      {m.original.strip()}\n   -> {m.mutated.strip()}")
        print(f"      to explain: {m.key()} | <why it cannot change behaviour>")
    if explained:
        print(f"\n{len(explained)} survivors that cannot change behaviour (tools/mutate-equivalent.txt).")
    print("\nfolder            killed  survived  equivalent  invalid  score")
    total_killed = total_counted = 0
    for folder, s in sorted(scores.items()):
        counted = s["killed"] + s["survived"]
        total_killed += s["killed"]
        total_counted += counted
        score = f"{100 * s['killed'] / counted:.0f} %" if counted else "-"
        print(f"{folder:16} {s['killed']:7} {s['survived']:9} {s['equivalent']:11} {s['invalid']:8}  {score}")
    if total_counted:
        print(f"{'all':16} {total_killed:7} {total_counted - total_killed:9}"
              f"{'':21}  {100 * total_killed / total_counted:.0f} %")
    return 0


if __name__ == "__main__":
    sys.exit(main())
