#!/usr/bin/env python3
"""Mutation sample: how many one-operator changes in src/ does the suite notice?

Usage: tools/mutate.py [--seed N] [--count N] [--files GLOB] [--work DIR]
                       [--timeout SECONDS] [--sanitize] [--list]

Copies the project (the files git knows, committed or not) into DIR (default
build-mutate/, or build-mutate-sanitize/ with --sanitize), builds it there once and runs the suite to be sure it passes.
Then it picks COUNT sites (default 60) at random with SEED (default 1) from
the files matching GLOB (default 'src/**/*.cpp') and, one at a time, plants the change in the copy,
rebuilds incrementally, runs the suite and puts the file back. The work tree
is never written, so it can be edited meanwhile.

A mutant is killed when a test fails or the suite runs out of time (a hang);
one that does not build is not viable and not counted. At the end the
survivors are listed (file:line, original -> mutated line) with the kill rate.
--list only prints the chosen changes. The same seed, count, glob and sources
give the same sample. --sanitize builds with AddressSanitizer and
UndefinedBehaviorSanitizer, which also catch a change that only overruns a
buffer; it is slower.

The suite is that of CTest without the packaging, editor and stress checks:
the unit tests, every script folder (scripts.*), the replay of the script
cases through the reference interpreter (oracle.replay), docs.examples and
bench.checksums.
"""

import argparse
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
SUITE_EXCLUDE = r"^(packaging|editors|man|stress)\."


def swap(table):
    return lambda text: table[text]


def plus_one(text):
    return str(int(text) + 1)


def next_letter(text):
    return "'" + chr(ord(text[1]) + 1) + "'"


# What a change looks for in the code (strings and comments blanked) and what
# it puts instead. Binary operators are matched with a blank on each side, as
# the code is written, so that templates, pointers and '->' are left alone.
MUTATIONS = [
    (re.compile(r"(?<=\s)(<=|>=|<|>)(?=\s)"), swap({"<": "<=", "<=": "<", ">": ">=", ">=": ">"})),
    (re.compile(r"(?<=\s)(==|!=)(?=\s)"), swap({"==": "!=", "!=": "=="})),
    (re.compile(r"(?<=\s)(&&|\|\|)(?=\s)"), swap({"&&": "||", "||": "&&"})),
    (re.compile(r"(?<=\s)([-+*/])(?=\s)"), swap({"+": "-", "-": "+", "*": "/", "/": "*"})),
    (re.compile(r"\+\+|--"), swap({"++": "--", "--": "++"})),
    (re.compile(r"\b(true|false)\b"), swap({"true": "false", "false": "true"})),
    (re.compile(r"(?<!')!(?!=)"), lambda text: ""),
    (re.compile(r"(?<![\w.'])\d+(?![\w.'])"), plus_one),
    (re.compile(r"'[0-9A-Za-y]'"), next_letter),
]


def blank_strings_and_comments(code):
    """The code with the inside of string literals, comments and preprocessor
    lines replaced by blanks; offsets and line feeds stay where they were."""
    out = list(code)
    i, n = 0, len(code)
    while i < n:
        c = code[i]
        if code.startswith("//", i) or (c == "#" and code[code.rfind("\n", 0, i) + 1:i].strip() == ""):
            end = code.find("\n", i)
            blank_from, i = i, n if end < 0 else end
            blank_to = i
        elif code.startswith("/*", i):
            blank_from, i = i, code.find("*/", i) + 2
            blank_to = i
        elif c in "\"'":
            close = i + 1
            while close < n and code[close] != c:
                close += 2 if code[close] == "\\" else 1
            # A plain character literal such as 'z' stays visible.
            blank_from, blank_to = (close, close) if c == "'" and close == i + 2 else (i + 1, close)
            i = close + 1
        else:
            i += 1
            continue
        for k in range(blank_from, blank_to):
            if out[k] != "\n":
                out[k] = " "
    return "".join(out)


def find_sites(files):
    sites = []
    for path in files:
        code = path.read_text()
        visible = blank_strings_and_comments(code)
        for pattern, replace in MUTATIONS:
            for match in pattern.finditer(visible):
                sites.append((path.relative_to(ROOT), match.start(), match.group(), replace(match.group())))
    return sites


def line_of(code, offset):
    start = code.rfind("\n", 0, offset) + 1
    end = code.find("\n", offset)
    return code.count("\n", 0, offset) + 1, code[start:end if end >= 0 else len(code)].strip()


def describe(site, code):
    path, offset, old, new = site
    number, before = line_of(code, offset)
    mutated = code[:offset] + new + code[offset + len(old):]
    return f"{path}:{number}: {before}  ->  {line_of(mutated, offset)[1]}"


def copy_sources(source):
    """Brings the copy in line with the work tree. Changed files get a fresh
    time stamp, so that a mutant left behind by a killed run is rebuilt."""
    listed = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=ROOT,
                            check=True, capture_output=True, text=True).stdout.split("\0")
    wanted = {name for name in listed if name and (ROOT / name).is_file()}
    for name in wanted:
        target = source / name
        if not target.exists() or target.read_bytes() != (ROOT / name).read_bytes():
            target.parent.mkdir(parents=True, exist_ok=True)
            shutil.copy(ROOT / name, target)
    for target in [p for p in source.rglob("*") if p.is_file()]:
        if str(target.relative_to(source)) not in wanted:
            target.unlink()


def run(command, timeout):
    """True when COMMAND succeeds, False when it fails, None on time-out.
    On time-out its whole process group is ended."""
    with subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          start_new_session=True) as proc:
        try:
            return proc.wait(timeout=timeout) == 0
        except subprocess.TimeoutExpired:
            return None
        finally:
            if proc.poll() is None:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait()


def build(build_dir):
    return run(["cmake", "--build", str(build_dir), "-j", "2"], timeout=1800) is True


def suite(build_dir, timeout):
    return run(["ctest", "--test-dir", str(build_dir), "-j", "2", "-E", SUITE_EXCLUDE,
                "--stop-on-failure", "--timeout", str(timeout)], timeout=2 * timeout + 30)


def try_mutant(source, build_dir, site, timeout):
    """'killed', 'timed out' (a hang, killed too), 'survived' or 'not viable'.
    The file is restored whatever happens, Ctrl-C included."""
    path, offset, old, new = site
    target = source / path
    original = target.read_text()
    try:
        if original[offset:offset + len(old)] != old:
            raise RuntimeError(f"{path} changed since the sites were picked")
        target.write_text(original[:offset] + new + original[offset + len(old):])
        if not build(build_dir):
            return "not viable"
        passed = suite(build_dir, timeout)
        return {True: "survived", False: "killed", None: "timed out"}[passed]
    finally:
        target.write_text(original)


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--count", type=int, default=60)
    parser.add_argument("--files", default="src/**/*.cpp", help="glob below the project root")
    parser.add_argument("--work", type=Path)
    parser.add_argument("--timeout", type=int, help="seconds per test (default: 10 x the clean suite, at least 30)")
    parser.add_argument("--sanitize", action="store_true", help="build with the sanitizers")
    parser.add_argument("--list", action="store_true", help="print the chosen changes and stop")
    return parser.parse_args()


def main():
    args = parse_arguments()
    # A plain kill ends the run through the same clean-up as Ctrl-C.
    signal.signal(signal.SIGTERM, signal.default_int_handler)
    files = sorted(ROOT.glob(args.files))
    sites = find_sites(files)
    chosen = random.Random(args.seed).sample(sites, min(args.count, len(sites)))
    texts = {path: (ROOT / path).read_text() for path, *_ in chosen}
    print(f"{len(chosen)} of {len(sites)} sites in {len(files)} files, seed {args.seed}", flush=True)
    if args.list:
        for site in chosen:
            print(describe(site, texts[site[0]]))
        return 0

    work = args.work or ROOT / ("build-mutate-sanitize" if args.sanitize else "build-mutate")
    source, build_dir = work / "source", work / "build"
    copy_sources(source)
    configure = ["cmake", "-S", str(source), "-B", str(build_dir), "-G", "Ninja", "-DZENTUL_TESTS=ON",
                 f"-DZENTUL_SANITIZE={'ON' if args.sanitize else 'OFF'}"]
    if run(configure, timeout=600) is not True or not build(build_dir):
        sys.exit(f"the unchanged copy in {source} does not build")
    started = time.monotonic()
    if suite(build_dir, timeout=600) is not True:
        sys.exit("the suite fails without any change")
    timeout = args.timeout or max(30, int(10 * (time.monotonic() - started)))

    results = []
    for number, site in enumerate(chosen, 1):
        outcome = try_mutant(source, build_dir, site, timeout)
        results.append((site, outcome))
        print(f"[{number}/{len(chosen)}] {outcome:<10} {describe(site, texts[site[0]])}", flush=True)

    survivors = [site for site, outcome in results if outcome == "survived"]
    viable = sum(1 for _, outcome in results if outcome != "not viable")
    print(f"\nSurvivors ({len(survivors)}):")
    for site in survivors:
        print("  " + describe(site, texts[site[0]]))
    rate = f" ({100 * (viable - len(survivors)) / viable:.0f}%)" if viable else ""
    print(f"Killed {viable - len(survivors)} of {viable} viable mutants{rate}; "
          f"{len(results) - viable} did not build.")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        sys.exit("interrupted; the copy is restored")
