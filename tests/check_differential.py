#!/usr/bin/env python3
"""The check against runs. Usage: check_differential.py ZENTUL [--scripts N] [--seed S] [--report]

N valid straight-line scripts (default 40), one statement a line, must run cleanly and check without a
finding. Each is mutated in one statement (a token deleted, doubled, replaced or swapped, a name misspelt, an
argument of the wrong kind) until its run stops with an error that the text or the names decide (not one of
values only, such as an index out of bounds). The mutant must check with the run's error alone, at the
statement's line or the run's; so must its twin whose statements from the faulty one on stand in
`if (0) {...}`. A mutant is missed when the run's error is not among the check's errors, cascaded when other
errors come with it, noisy when warnings do. --report prints the counts and exits 0; otherwise each
difference is printed and any fails.
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

    def made(self, name, kind, text):
        if name not in self.kinds:
            self.count += 1
        self.kinds[name] = kind
        return text

    def expression(self, depth=2):
        rng, numbers, inner = self.rng, self.names("number"), lambda: self.expression(depth - 1)
        choice = rng.randrange(8 if depth > 0 else 3)
        if choice == 1 and numbers:
            return rng.choice(numbers)
        if choice < 2:
            return str(rng.choice([1, 2, 3.5, 7, 10]))
        forms = [lambda: rng.choice(['len("abc")', 'num("4")']),
                 lambda: "%s %s %s" % (inner(), rng.choice("+-*<>"), inner()),
                 lambda: "%s %s %d" % (inner(), rng.choice("/%"), rng.randint(1, 9)),
                 lambda: "%s(%s)" % (rng.choice(["abs", "sqrt", "cos"]), inner()),
                 lambda: "(%s) && !%s" % (inner(), inner())]
        if choice < 7:
            return forms[choice - 2]()
        argument = inner()
        return self.made("__tmp_str_result", "string", "str(%s)" % argument)

    def text(self):
        strings = self.names("string")
        return self.rng.choice(strings) if strings and self.rng.random() < 0.6 else '"a,b1"'

    def statement(self):
        rng, name = self.rng, "v%d" % self.rng.randrange(8)
        choice = rng.randrange(11)
        targets = sorted(n for n in self.kinds if not n.startswith("__"))
        if choice == 0:
            value = self.expression()
            return self.made(name, "number", "var %s = %s ;" % (name, value))
        if choice == 1:
            return self.made(name, "string", 'var %s = "t%d" ;' % (name, rng.randrange(9)))
        if choice == 2 and targets:
            target = rng.choice(targets)
            if rng.random() < 0.5:
                value = self.expression()
                return self.made(target, "number", "%s = %s ;" % (target, value))
            return self.made(target, "string", '%s = "s" ;' % target)
        if choice == 3:
            arguments = [rng.choice(['"x"', "4"] + list(self.kinds)) for _ in range(rng.randint(1, 3))]
            if self.names("number") and rng.random() < 0.4:
                arguments.append("%s * 2 + 1" % rng.choice(self.names("number")))
            return "print ( %s ) ;" % " , ".join(arguments)
        if choice == 4:
            procedure, source = rng.choice(["upper", "lower", "trim"]), self.text()
            return self.made("__%s_result" % procedure, "string", "%s ( %s ) ;" % (procedure, source))
        if choice == 5:
            return self.made("__replace_result", "string", 'replace ( %s , "a" , "b" ) ;' % self.text())
        if choice == 6:
            source, start, length = self.text(), self.expression(1), self.expression(1)
            return self.made("__substring_result", "string", "substring ( %s , %s , %s ) ;" % (source, start, length))
        if choice == 7:
            return self.made("__split_result", "array", 'split ( %s , "," ) ;' % self.text())
        if choice == 8 and self.kinds.get("__split_result") == "array":
            procedure = rng.choice(["push", "contains", "length"])
            value = " , %s" % self.expression(1) if procedure != "length" else ""
            text = "%s ( __split_result%s ) ;" % (procedure, value)
            return text if procedure == "push" else self.made("__%s_result" % procedure, "number", text)
        if choice == 9:
            return self.made("__rand_%d" % self.count, "number", rng.choice(["rand_range ( 1 , 6 ) ;", "rand ( ) ;"]))
        value = self.expression(1)
        return self.made("__str_result", "string", "str ( %s ) ;" % value)

    def build(self, count):
        self.lines = [self.statement() for _ in range(count)]
        return self


def mutate(line, rng, kinds):
    tokens = TOKEN.findall(line)
    at, choice = rng.randrange(len(tokens)), rng.randrange(7)
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
        result = subprocess.run([zentul, "--check"] + paths[start:start + 400], cwd=folder, capture_output=True,
                                timeout=300)
        for match in map(FINDING.match, result.stdout.decode(errors="replace").splitlines()):
            if match and match.group(1) in found:
                found[match.group(1)].append((int(match.group(2)), match.group(3), match.group(4)))
    return found


def write(folder, name, lines, end=""):
    open(os.path.join(folder, name), "w").write("\n".join(lines) + "\n" + end)
    return name


def one_fault(zentul, script, number, rng, folder):
    """A mutant whose run fails as the check should tell, its block-wrapped
    twin (or None), the lines where the error may show and its message."""
    for _ in range(20):
        index, lines = rng.randrange(len(script.lines)), list(script.lines)
        lines[index] = mutate(lines[index], rng, script.kinds)
        path = write(folder, "m%d.zen" % number, lines)
        outcome = run(zentul, path, folder)
        if outcome is None or outcome[1].startswith(VALUE_FAULTS):
            continue
        if outcome[1].endswith("by zero") and not re.search(r"[/%] \(* *0\b", lines[index]):
            continue
        # The block's '}' would be the token that a fault at the end meets.
        comparable = not outcome[1].endswith("(got '')") and outcome[1] != "Unterminated string literal"
        lines[index] = "if (0) { " + lines[index]
        wrapped = write(folder, "w%d.zen" % number, lines, "}\n") if comparable and "}" not in lines[index] else None
        return path, wrapped, {index + 1, outcome[0]}, outcome[1]
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("zentul")
    parser.add_argument("--scripts", type=int, default=40)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--report", action="store_true")
    options = parser.parse_args()
    zentul, rng = os.path.abspath(options.zentul), random.Random(options.seed)
    clean, totals = [0, 0, 0], {"scripts": [0] * 5, "blocks": [0] * 5}
    problems = []
    with tempfile.TemporaryDirectory() as folder:
        cases = []
        for number in range(options.scripts):
            script = Script(rng).build(rng.randint(4, 10))
            path = write(folder, "c%d.zen" % number, script.lines)
            if run(zentul, path, folder) is not None:
                problems.append("%s does not run cleanly" % path)
            cases.append((path, None, None, None))
            cases += filter(None, [one_fault(zentul, script, number, rng, folder)])
        found = check(zentul, [p for case in cases for p in case[:2] if p], folder)
        for path, wrapped, lines, message in cases:
            if message is None:
                kinds = {kind for _, kind, _ in found[path]}
                clean = [clean[0] + 1, clean[1] + ("error" in kinds), clean[2] + ("warning" in kinds)]
                problems += ["%s: clean, but the check found %s" % (path, found[path])] if kinds else []
            for label, file in (("scripts", path), ("blocks", wrapped)) if message else ():
                if file is None:
                    continue
                errors = [(l, m) for l, kind, m in found[file] if kind == "error"]
                missed = not any((line, message) in errors for line in lines)
                result = (1, not missed and len(found[file]) == 1, missed, not missed and len(errors) > 1,
                          any(kind == "warning" for _, kind, _ in found[file]))
                totals[label] = [a + b for a, b in zip(totals[label], result)]
                if not result[1]:
                    problems.append("%s: the run: %s: %s; the check: %s" % (file, sorted(lines), message, found[file]))
    print("clean: %d, %d with errors, %d with warnings" % tuple(clean))
    for label, (count, exact, missed, cascaded, noisy) in totals.items():
        print("%s: %d, %d exact, %d missed, %d cascaded, %d with warnings" %
              (label, count, exact, missed, cascaded, noisy))
    if problems and not options.report:
        print("\n".join(problems))
    return 0 if options.report or not problems else 1


if __name__ == "__main__":
    sys.exit(main())
