#!/usr/bin/env python3
"""Zentul's benchmark: sixteen workloads in Zentul, Lua, Python and Perl.

    bench/run.py [--zentul PATH] [--rounds N] [--only a,b,...]   time them
    bench/run.py --count                                         instructions
    bench/run.py --check                                         checksums only
    bench/run.py --calls                                         instructions per procedure call

Every workload prints a checksum (the output workload its lines), and every
interpreter must print the same one. The interpreters found on PATH (LuaJIT's
interpreter with its compiler off, lua5.4 or lua, python3, perl) run beside
Zentul (default ./build/zentul); LuaJIT runs the Lua scripts.

Time mode runs the interpreters in turns, round by round, each run timed by
hyperfine; it prints the median wall time of each, Zentul's time over each
peer's (above 1: Zentul is slower), and the peak memory and page faults of
one more run.

Count mode counts machine instructions with valgrind (callgrind), the figure
that stays the same on a busy machine: per loop pass for the loop workloads
(the difference between two sizes, so start-up falls out), whole runs for
start-up and the large script, and `zentul --check` of the large script.

Calls mode counts the instructions of one call of each procedure, in Zentul
alone: a loop of calls at two sizes, less the same loop without them.

Check mode runs the workloads at small sizes and compares each checksum with
the known one; it measures nothing and is what the test suite runs.
"""

import argparse
import json
import os
import random
import re
import shutil
import statistics
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
WORKLOADS = os.path.join(HERE, "workloads")

# name: (file stem, full size, check size, checksum at the check size)
LOOPS = {
    "a": ("a_loop", 3000000, 3000, "306784"),
    "b": ("b_fizz", 1000000, 1000, "66 267 134 533"),
    "c": ("c_kernel", 80000, 80, "481.297 3.53661e-05"),
    "d": ("d_strings", 100000, 100, "E FIVE B0XING WIZARDS JUMP QUICKLY AT DA"),
    "e": ("e_arrays", 60000, 60, "7890"),
    "h": ("h_output", 200000, 200, None),  # its lines, compared between the interpreters
    "i": ("i_plane", 250000, 400, "7895 92"),
    "j": ("j_sums", 600000, 600, "1920.99 3.19974"),
    "k": ("k_flips", 600000, 600, "751970 10"),
    "l": ("l_bodies", 150000, 150, "-19.6831 0.583324"),
    "m": ("m_search", 1200, 20, "420"),
    "n": ("n_calc", 30000, 30, "9025"),
    "o": ("o_machine", 20000, 20, "744363"),
    "p": ("p_table", 400, 4, "497848"),
}
DESCRIPTIONS = {
    "a": "a loop", "b": "b fizz", "c": "c kernel", "d": "d strings", "e": "e arrays",
    "f": "f start-up", "g": "g large", "h": "h output", "i": "i plane", "j": "j sums", "k": "k flips",
    "l": "l bodies", "m": "m search", "n": "n calc", "o": "o machine", "p": "p table",
}
EXTENSIONS = {"zentul": ".zen", "luajit": ".lua", "lua": ".lua", "python": ".py", "perl": ".pl"}
# name: (candidate programs, options before the script)
PEERS = [("luajit", ["luajit"], ["-joff"]), ("lua", ["lua5.4", "lua"], []), ("python", ["python3"], []),
         ("perl", ["perl"], [])]
LABELS = {"zentul": "Zentul", "luajit": "LuaJIT -joff", "lua": "Lua", "python": "CPython", "perl": "Perl"}
SIZE_LINE = re.compile(r"^(.*?)\d+(.*(#|--) size)$")


def find_interpreters(zentul):
    """{name: command line before the script}."""
    found = {"zentul": [os.path.abspath(zentul)]}
    for name, candidates, options in PEERS:
        for candidate in candidates:
            path = shutil.which(candidate)
            if path:
                found[name] = [path] + options
                break
    return found


def sized_copy(stem, language, size, folder):
    """Writes the workload with its size line set to `size`; returns the path."""
    source = os.path.join(WORKLOADS, stem + EXTENSIONS[language])
    with open(source) as f:
        lines = f.read().split("\n")
    match = SIZE_LINE.match(lines[0])
    if not match:
        sys.exit("%s: the first line must set the size" % source)
    lines[0] = match.group(1) + str(size) + match.group(2)
    path = os.path.join(folder, "%s_%d%s" % (stem, size, EXTENSIONS[language]))
    with open(path, "w") as f:
        f.write("\n".join(lines))
    return path


def write_large(folder):
    """The straight-line workload: 100 declarations, 299 assignments of the
    form v = (v + c) * c % 1000 and a print, 4,093 Zentul tokens in all."""
    rng = random.Random(7)
    steps = [(rng.randrange(100), rng.randrange(100), rng.randrange(1, 50), rng.randrange(2, 9))
             for _ in range(299)]
    last = steps[-1][0]
    forms = {
        "zentul": ("var v%d = %d;", "v%d = (v%d + %d) * %d %% 1000;", "print(v%d);"),
        "lua": ("local v%d = %d", "v%d = (v%d + %d) * %d %% 1000", 'print(string.format("%%g", v%d))'),
        "python": ("v%d = %d", "v%d = (v%d + %d) * %d %% 1000", 'print("%%g" %% v%d)'),
        "perl": ("my $v%d = %d;", "$v%d = ($v%d + %d) * %d %% 1000;", 'printf("%%g\\n", $v%d);'),
    }
    forms["luajit"] = forms["lua"]
    paths = {}
    for language, (declare, assign, show) in forms.items():
        lines = [declare % (i, i) for i in range(100)]
        lines += [assign % step for step in steps]
        lines.append(show % last)
        path = os.path.join(folder, "g_large" + EXTENSIONS[language])
        with open(path, "w") as f:
            f.write("\n".join(lines) + "\n")
        paths[language] = path
    return paths


def write_empty(folder):
    paths = {}
    for language, extension in EXTENSIONS.items():
        path = os.path.join(folder, "f_startup" + extension)
        open(path, "w").close()
        paths[language] = path
    return paths


def scripts_for(key, folder, scale):
    """{language: script path} of one workload at its full size or check size."""
    if key == "f":
        return write_empty(folder)
    if key == "g":
        return write_large(folder)
    stem, full, small, _ = LOOPS[key]
    return {language: sized_copy(stem, language, full if scale == "full" else small, folder)
            for language in EXTENSIONS}


def output_of(interpreter, script, cwd):
    result = subprocess.run(interpreter + [script], cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            stdin=subprocess.DEVNULL)
    if result.returncode != 0:
        sys.exit("%s %s failed: %s" % (interpreter, script, result.stderr.decode(errors="replace")))
    return result.stdout.decode().strip()


def memory_and_faults(interpreter, script, cwd):
    """Peak memory in KB and page faults of one run, measured by GNU time,
    which starts the program from its own small process: a child of this
    Python process would count Python's pages."""
    with tempfile.NamedTemporaryFile("r", suffix=".txt") as report:
        subprocess.run(["/usr/bin/time", "-f", "%M %R %F", "-o", report.name] + interpreter + [script], cwd=cwd,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, check=True)
        peak, minor, major = report.read().split()[-3:]
        return int(peak), int(minor) + int(major)


def check_outputs(key, interpreters, scripts, cwd, expected=None):
    outputs = {name: output_of(path, scripts[name], cwd) for name, path in interpreters.items()}
    reference = expected if expected is not None else outputs["zentul"]
    wrong = {name: out for name, out in outputs.items() if out != reference}
    if wrong:
        sys.exit("workload %s: expected %r, got %r" % (key, reference, wrong))
    return reference


def check(args, interpreters):
    with tempfile.TemporaryDirectory() as folder:
        for key in sorted(LOOPS):
            scripts = scripts_for(key, folder, "check")
            got = check_outputs(key, interpreters, scripts, folder, LOOPS[key][3])
            print("%-10s %s" % (DESCRIPTIONS[key], got if "\n" not in got else "%d lines" % (got.count("\n") + 1)))
        for key in ("f", "g"):
            scripts = scripts_for(key, folder, "check")
            print("%-10s %s" % (DESCRIPTIONS[key], check_outputs(key, interpreters, scripts, folder)))
    print("all checksums agree (%s)" % ", ".join(LABELS[name] for name in interpreters))


def time_rounds(interpreters, scripts, rounds, runs_per_round, cwd):
    """Median wall time in seconds of each interpreter, run in turns."""
    times = {name: [] for name in interpreters}
    names = list(interpreters)
    with tempfile.NamedTemporaryFile(suffix=".json") as export:
        for _ in range(rounds):
            commands = [" ".join(interpreters[name] + [scripts[name]]) for name in names]
            subprocess.run(["hyperfine", "-N", "--style", "none", "--runs", str(runs_per_round), "--warmup", "1",
                            "--export-json", export.name] + commands, cwd=cwd, check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            with open(export.name) as f:
                results = json.load(f)["results"]
            for name, result in zip(names, results):
                times[name].extend(result["times"])
    return {name: statistics.median(values) for name, values in times.items()}


def show_time(seconds):
    return "%.3g s" % seconds if seconds >= 0.1 else "%.3g ms" % (seconds * 1000)


def time_all(args, interpreters):
    if not shutil.which("hyperfine") or not os.path.exists("/usr/bin/time"):
        sys.exit("hyperfine and GNU time are needed (Debian packages hyperfine and time)")
    peers = [name for name in ("luajit", "lua", "python", "perl") if name in interpreters]
    header = ["workload"] + [LABELS[n] for n in interpreters] + ["vs " + LABELS[n] for n in peers]
    header += ["memory " + LABELS[n] for n in interpreters] + ["faults " + LABELS[n] for n in interpreters]
    print("| " + " | ".join(header) + " |")
    print("|" + "---|" * len(header))
    with tempfile.TemporaryDirectory() as folder:
        for key in args.only:
            scripts = scripts_for(key, folder, "full")
            check_outputs(key, interpreters, scripts, folder)
            quick = key in ("f", "g")
            medians = time_rounds(interpreters, scripts, args.rounds, 20 if quick else 1, folder)
            memory = {name: memory_and_faults(path, scripts[name], folder) for name, path in interpreters.items()}
            row = [DESCRIPTIONS[key]] + [show_time(medians[n]) for n in interpreters]
            row += ["%.2fx" % (medians["zentul"] / medians[n]) for n in peers]
            row += ["%.1f MB" % (memory[n][0] / 1024) for n in interpreters]
            row += ["%d" % memory[n][1] for n in interpreters]
            print("| " + " | ".join(row) + " |", flush=True)


def instructions(interpreter, script, cwd):
    result = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null"] + interpreter +
                            [script], cwd=cwd, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, stdin=subprocess.DEVNULL)
    match = re.search(rb"Collected : (\d+)", result.stderr)
    if not match:
        sys.exit("valgrind gave no count for %s %s" % (interpreter, script))
    return int(match.group(1))


def count_all(args, interpreters):
    if not shutil.which("valgrind"):
        sys.exit("valgrind is needed")
    names = list(interpreters)
    print("| workload | " + " | ".join(LABELS[n] for n in names) + " |")
    print("|" + "---|" * (len(names) + 1))
    with tempfile.TemporaryDirectory() as folder:
        for key in args.only:
            if key in LOOPS:
                stem, full, _, _ = LOOPS[key]
                small, large = full // 20, full // 10
                cells = []
                for name in names:
                    first = instructions(interpreters[name], sized_copy(stem, name, small, folder), folder)
                    second = instructions(interpreters[name], sized_copy(stem, name, large, folder), folder)
                    cells.append("%d" % round((second - first) / (large - small)))
                print("| %s, per pass | %s |" % (DESCRIPTIONS[key], " | ".join(cells)), flush=True)
            else:
                scripts = scripts_for(key, folder, "full")
                cells = ["%.2fM" % (instructions(interpreters[n], scripts[n], folder) / 1e6) for n in names]
                print("| %s, whole run | %s |" % (DESCRIPTIONS[key], " | ".join(cells)), flush=True)
                if key == "g":  # checking it must cost no more than running it
                    checked = instructions(interpreters["zentul"] + ["--check"], scripts["zentul"], folder)
                    cells = ["%.2fM" % (checked / 1e6)] + ["-"] * (len(names) - 1)
                    print("| g large, checked | %s |" % " | ".join(cells), flush=True)


# The 320 characters of the string procedures' text, and the setup every call
# loop starts with: `row` is a row of a table of 320 characters with an S at
# its start, the array holds `fields` (1 to 30), and `padded` has blanks at
# both ends.
TEXT = ("The quick brown fox jumps over the lazy dog; pack my box with five dozen liquor jugs. " * 4)[:320]
CALL_SETUP = 'var t = "%s";\nvar row = "S%s";\nvar fields = "%s";\nvar padded = "  %s \\t";\nsplit(fields, ",");\n' % (
    TEXT, ("3," * 160)[:319], ",".join(str(i) for i in range(1, 31)), TEXT[:40])
# name: (a fixed part before the loop, the loop's body, the two sizes)
CALLS = [
    ("push", "split(\"\", \",\");", "push(__split_result, k);", (400, 900)),
    ("pop", "var f = 0;\nwhile (f < 900) { push(__split_result, f); f = f + 1; }", "pop(__split_result);", (400, 900)),
    ("contains, 30 scanned", "", "contains(__split_result, 31);", (2000, 4000)),
    ("contains, found first", "", "contains(__split_result, 1);", (2000, 4000)),
    ("contains, 300 scanned", "var f = 31;\nwhile (f <= 300) { push(__split_result, f); f = f + 1; }",
     "contains(__split_result, 301);", (2000, 4000)),
    ("length", "", "length(__split_result);", (2000, 4000)),
    ("replace, 320 characters, 4 matches", "", "replace(t, \"fox\", \"cat\");", (2000, 4000)),
    ("replace, 320 characters, 1 match at 0", "", "replace(row, \"S\", \"S3,\");", (2000, 4000)),
    ("replace, own result, 1 match at 0", "replace(row, \"S\", \"S\");",
     "replace(__replace_result, \"S\", \"S\");", (2000, 4000)),
    ("substring, 40 of 320", "", "substring(t, 7, 40);", (2000, 4000)),
    ("split, 30 fields of 1-2 digits", "", "split(fields, \",\");", (2000, 4000)),
    ("upper, 320 characters", "", "upper(t);", (2000, 4000)),
    ("lower, 320 characters", "", "lower(t);", (2000, 4000)),
    ("trim, 40 characters", "", "trim(padded);", (2000, 4000)),
    ("char_at", "", "char_at(t, 7);", (2000, 4000)),
]


def call_loop(fixed, body, size, folder):
    path = os.path.join(folder, "call_%d.zen" % size)
    with open(path, "w") as f:
        f.write(CALL_SETUP + fixed + "\nvar k = 0;\nwhile (k < %d) { %s k = k + 1; }\n" % (size, body))
    return path


def count_calls(args, interpreters):
    if not shutil.which("valgrind"):
        sys.exit("valgrind is needed")
    zentul = interpreters["zentul"]
    print("| call | instructions |")
    print("|---|---|")
    with tempfile.TemporaryDirectory() as folder:
        for name, fixed, body, (small, large) in CALLS:
            counts = [instructions(zentul, call_loop(fixed, text, size, folder), folder)
                      for text in (body, "") for size in (small, large)]
            per_call = ((counts[1] - counts[0]) - (counts[3] - counts[2])) / (large - small)
            print("| %s | %.1f |" % (name, per_call), flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--zentul", default=os.path.join(HERE, "..", "build", "zentul"))
    parser.add_argument("--check", action="store_true", help="checksums at small sizes only")
    parser.add_argument("--count", action="store_true", help="instruction counts with valgrind")
    parser.add_argument("--calls", action="store_true", help="instructions per procedure call (valgrind)")
    parser.add_argument("--rounds", type=int, default=5, help="turns of every interpreter (time mode)")
    parser.add_argument("--only", default="".join(DESCRIPTIONS), help="workloads to run, e.g. ab")
    parser.add_argument("--zentul-only", action="store_true", help="leave the other interpreters out")
    parser.add_argument("--peers", help="the other interpreters to run, e.g. luajit,lua")
    args = parser.parse_args()
    args.only = [key for key in args.only if key in DESCRIPTIONS]
    interpreters = find_interpreters(args.zentul)
    if args.zentul_only:
        interpreters = {"zentul": interpreters["zentul"]}
    if args.peers:
        wanted = ["zentul"] + args.peers.split(",")
        interpreters = {name: command for name, command in interpreters.items() if name in wanted}
    if args.check:
        check(args, interpreters)
    elif args.count:
        count_all(args, interpreters)
    elif args.calls:
        count_calls(args, interpreters)
    else:
        time_all(args, interpreters)


if __name__ == "__main__":
    main()
