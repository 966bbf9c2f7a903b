#!/usr/bin/env python3
"""The check against runs: one-fault scripts, the same faults in blocks that
never run, and the clean scripts they come from.

Usage: check_differential.py ZENTUL [--scripts N] [--seed S] [--report]

Writes N valid straight-line scripts (default 40) with seed S, one statement a
line, and requires each to run cleanly and to check without a finding. Each is
then mutated in one statement (a token deleted, doubled, replaced or swapped,
a name misspelt, an argument of the wrong kind) until its run stops with an
error that the text decides. Every mutant must check with exactly the run's
error, at the faulty statement's line, and with no other finding; so must the
mutant whose statements from the faulty one on stand in `if (0) {...}`, which
runs nothing. Errors that only values decide (an index out of bounds, a
division by a variable's zero) are not the check's and are left out.

With --report it prints the counts and exits 0 whatever they are; otherwise
it prints each difference and exits 1 if there is one.
"""

import argparse
import os
import random
import re
import subprocess
import sys
import tempfile

TOKEN = re.compile(r'"(?:\\.|[^"\\])*"|\d+\.?\d*|[A-Za-z_]\w*|==|!=|<=|>=|&&|\|\||\S')
ERROR = re.compile(r"^\[Error at line (\d+)\] (.*)$")
FINDING = re.compile(r"^(.*):(\d+): (error|warning): (.*?)( \[[a-z-]+\])?$")
VALUE_FAULTS = ("Index out of bounds", "Array is", "Failed to", "Too many variables")
POOL = [";", ",", "(", ")", "=", "+", "*", "/", "}", "0", '""', '"x"', "i", "time", "length", "while", "print",
        "var", "else", "naje", "min", "abs", "__split_result"]


class Script:
    """A valid straight-line script, built with the kind of every variable."""

    def __init__(self, rng):
        self.rng, self.lines, self.kinds, self.count = rng, [], {}, 0

    def names(self, kind):
        return sorted(name for name, k in self.kinds.items() if k == kind)

    def made(self, name, kind):
        if name not in self.kinds:
            self.count += 1
        self.kinds[name] = kind

    def expression(self, depth=2):
        rng, numbers = self.rng, self.names("number")
        choice = rng.randrange(8 if depth > 0 else 3)
        if choice == 0 or (choice == 1 and not numbers):
            return str(rng.choice([1, 2, 3.5, 7, 10]))
        if choice == 1:
            return rng.choice(numbers)
        if choice == 2:
            return rng.choice(['len("abc")', 'num("4")'])
        if choice == 3:
            return "%s %s %s" % (self.expression(depth - 1), rng.choice("+-*<>"), self.expression(depth - 1))
        if choice == 4:
            return "%s %s %d" % (self.expression(depth - 1), rng.choice("/%"), rng.randint(1, 9))
        if choice == 5:
            return "%s(%s)" % (rng.choice(["abs", "sqrt", "cos"]), self.expression(depth - 1))
        if choice == 6:
            return "(%s) && !%s" % (self.expression(depth - 1), self.expression(depth - 1))
        inner = self.expression(depth - 1)
        self.made("__tmp_str_result", "string")
        return "str(%s)" % inner

    def text(self):
        strings = self.names("string")
        return self.rng.choice(strings) if strings and self.rng.random() < 0.6 else '"a,b1"'

    def statement(self):
        rng = self.rng
        name = "v%d" % rng.randrange(8)
        choice = rng.randrange(11)
        if choice == 0:
            value = self.expression()
            self.made(name, "number")
            return "var %s = %s ;" % (name, value)
        if choice == 1:
            self.made(name, "string")
            return 'var %s = "t%d" ;' % (name, rng.randrange(9))
        if choice == 2 and self.kinds:
            target = rng.choice(sorted(n for n in self.kinds if not n.startswith("__")) or [name])
            if target in self.kinds and rng.random() < 0.5:
                value = self.expression()
                self.made(target, "number")
                return "%s = %s ;" % (target, value)
            if target in self.kinds:
                self.made(target, "string")
                return '%s = "s" ;' % target
        if choice == 3:
            arguments = [rng.choice(['"x"', "4"] + list(self.kinds)) for _ in range(rng.randint(1, 3))]
            numbers = self.names("number")
            if numbers and rng.random() < 0.4:
                arguments.append("%s * 2 + 1" % rng.choice(numbers))
            return "print ( %s ) ;" % " , ".join(arguments)
        if choice == 4:
            source = self.text()
            procedure = rng.choice(["upper", "lower", "trim"])
            self.made("__%s_result" % procedure, "string")
            return "%s ( %s ) ;" % (procedure, source)
        if choice == 5:
            source = self.text()
            self.made("__replace_result", "string")
            return 'replace ( %s , "a" , "b" ) ;' % source
        if choice == 6:
            source, start, length = self.text(), self.expression(1), self.expression(1)
            self.made("__substring_result", "string")
            return "substring ( %s , %s , %s ) ;" % (source, start, length)
        if choice == 7:
            self.made("__split_result", "array")
            return 'split ( %s , "," ) ;' % self.text()
        if choice == 8 and self.kinds.get("__split_result") == "array":
            procedure = rng.choice(["push", "contains", "length"])
            value = " , %s" % self.expression(1) if procedure != "length" else ""
            if procedure != "push":
                self.made("__%s_result" % procedure, "number")
            return "%s ( __split_result%s ) ;" % (procedure, value)
        if choice == 9:
            rand = "__rand_%d" % self.count
            self.made(rand, "number")
            return "rand_range ( 1 , 6 ) ;" if rng.random() < 0.5 else "rand ( ) ;"
        value = self.expression(1)
        self.made("__str_result", "string")
        return "str ( %s ) ;" % value

    def build(self, count):
        while len(self.lines) < count:
            self.lines.append(self.statement())
        return self


def mutate(line, rng, kinds):
    tokens = TOKEN.findall(line)
    at = rng.randrange(len(tokens))
    choice = rng.randrange(7)
    names = [i for i, t in enumerate(tokens) if t in kinds]
    if choice == 0:
        del tokens[at]
    elif choice == 1:
        tokens.insert(at, tokens[at])
    elif choice == 2:
        tokens[at] = rng.choice(POOL)
    elif choice == 3 and at + 1 < len(tokens):
        tokens[at], tokens[at + 1] = tokens[at + 1], tokens[at]
    elif choice == 4 and names:
        tokens[rng.choice(names)] = rng.choice(["naje", "zq", "v9"])
    elif choice == 5 and names:
        other = [n for n in kinds if kinds[n] != kinds[tokens[names[0]]]]
        tokens[names[0]] = rng.choice(other or ["zq"])
    else:
        tokens.insert(at, rng.choice(POOL))
    return " ".join(tokens)


def run(zentul, path, folder):
    result = subprocess.run([zentul, path], cwd=folder, stdin=subprocess.DEVNULL, capture_output=True, timeout=30)
    lines = result.stderr.decode(errors="replace").splitlines()
    match = ERROR.match(lines[-1]) if lines else None
    return (int(match.group(1)), match.group(2)) if match else None


def check(zentul, paths, folder):
    """The findings of each file: (line, kind, message without its code)."""
    found = {path: [] for path in paths}
    for start in range(0, len(paths), 400):
        batch = paths[start:start + 400]
        result = subprocess.run([zentul, "--check"] + batch, cwd=folder, capture_output=True, timeout=300)
        for line in result.stdout.decode(errors="replace").splitlines():
            match = FINDING.match(line)
            if match and match.group(1) in found:
                found[match.group(1)].append((int(match.group(2)), match.group(3), match.group(4)))
    return found


def scores(findings, lines, message):
    """(exact, missed, cascaded, noisy) for a one-fault mutant whose error
    shows at one of `lines`."""
    errors = [(l, m) for l, kind, m in findings if kind == "error"]
    missed = not any((line, message) in errors for line in lines)
    return (not missed and len(findings) == 1, missed, not missed and len(errors) > 1,
            any(kind == "warning" for _, kind, _ in findings))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("zentul")
    parser.add_argument("--scripts", type=int, default=40)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--report", action="store_true")
    options = parser.parse_args()
    zentul, rng = os.path.abspath(options.zentul), random.Random(options.seed)
    counts = {key: 0 for key in ["clean", "clean with errors", "clean with warnings", "scripts", "blocks"]}
    problems = []
    with tempfile.TemporaryDirectory() as folder:
        cases = []  # (path, wrapped path or None, line, message)
        for number in range(options.scripts):
            script = Script(rng).build(rng.randint(4, 10))
            clean = "c%d.zen" % number
            with open(os.path.join(folder, clean), "w") as f:
                f.write("\n".join(script.lines) + "\n")
            if run(zentul, clean, folder) is not None:
                problems.append("%s does not run cleanly" % clean)
            for attempt in range(20):
                index = rng.randrange(len(script.lines))
                lines = list(script.lines)
                lines[index] = mutate(lines[index], rng, script.kinds)
                path = "m%d.zen" % number
                with open(os.path.join(folder, path), "w") as f:
                    f.write("\n".join(lines) + "\n")
                outcome = run(zentul, path, folder)
                if outcome is None or outcome[1].startswith(VALUE_FAULTS):
                    continue
                if outcome[1].endswith("by zero") and not re.search(r"[/%] \(* *0\b", lines[index]):
                    continue
                wrapped = None
                # The block's '}' would be the token a missing one at the end meets.
                comparable = not outcome[1].endswith("(got '')") and outcome[1] != "Unterminated string literal"
                if comparable and "}" not in lines[index]:
                    wrapped = "w%d.zen" % number
                    lines[index] = "if (0) { " + lines[index]
                    with open(os.path.join(folder, wrapped), "w") as f:
                        f.write("\n".join(lines) + "\n}\n")
                cases.append((path, wrapped, {index + 1, outcome[0]}, outcome[1]))
                break
            cases.append((clean, None, 0, None))
        found = check(zentul, [p for case in cases for p in case[:2] if p], folder)
        totals = {"scripts": [0, 0, 0, 0], "blocks": [0, 0, 0, 0]}
        for path, wrapped, line, message in cases:
            if message is None:
                counts["clean"] += 1
                counts["clean with errors"] += any(k == "error" for _, k, _ in found[path])
                counts["clean with warnings"] += any(k == "warning" for _, k, _ in found[path])
                if found[path]:
                    problems.append("%s: clean, but the check found %s" % (path, found[path]))
                continue
            for label, file in (("scripts", path), ("blocks", wrapped)):
                if file is None:
                    continue
                counts[label] += 1
                result = scores(found[file], line, message)
                totals[label] = [a + b for a, b in zip(totals[label], result)]
                if not result[0]:
                    problems.append("%s: the run: %s: %s; the check: %s" % (file, sorted(line), message, found[file]))
    for key, value in counts.items():
        print("%s: %d" % (key, value))
    for label, (exact, missed, cascaded, noisy) in totals.items():
        print("%s: %d exact, %d missed, %d cascaded, %d with warnings" % (label, exact, missed, cascaded, noisy))
    if options.report:
        return 0
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
