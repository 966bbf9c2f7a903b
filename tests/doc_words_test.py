#!/usr/bin/env python3
"""Every command, option and message that the documentation names exists.

Usage: doc_words_test.py ZENTUL

Commands and options are read from the command list of README.md and the
SYNOPSIS of docs/zentul.1, and each is run in a fresh folder: it must be
taken for what it is, not as a script path ("Cannot open file"), an unknown
command word or a wrong command line (the usage with status 1), and the usage
text must name it. Downloads reach 127.0.0.1 only: curl and wget are wrapped
so that any other address fails at once.

Messages are read from the first column of every table headed "Message" in
docs/*.md. Each must be shown by an expectation of a checked example of the
docs or of a script case in tests/scripts, and the first such case of each
message runs here. Statements once found false (temporary names, -u's
commands, single arguments, the VS Code task) are checked against what makes
them true.
"""

import itertools
import json
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import doc_tests  # noqa: E402
import run_script_tests as runner  # noqa: E402

ROOT = os.path.dirname(HERE)
DOCS = os.path.join(ROOT, "docs")
WRAPPER = '#!/bin/sh\nfor a; do case "$a" in http://127.0.0.1[:/]*) exec %s "$@";; esac; done\nexit 22\n'
# Each command runs in a folder of its own beside the script and the package.
PLACEHOLDERS = {"script.zen": "../script.zen", "file": "../script.zen", "package.zep": "../package.zep",
                "name": "nothing", "url": "http://127.0.0.1:9/", "version": "9.9.9"}
REFUSALS = ("Cannot open file", "Unknown ADN command", "Unknown ADM command")


def readme_commands():
    """The argument lists of the README's command list, placeholders as words."""
    text = open(os.path.join(ROOT, "README.md"), encoding="utf-8").read()
    section = text.split("\n## Commands\n", 1)[1].split("\n## ", 1)[0]
    for line in section.split("\n"):
        if line.startswith("    zentul "):
            words = line.strip().split("  ")[0].split()[1:]
            yield [re.sub(r"[<>\[\]]|\.\.\.$", "", w).lower() for w in words]


def synopsis_commands():
    """Every argument list that a line of the man page's SYNOPSIS allows."""
    text = open(os.path.join(DOCS, "zentul.1"), encoding="utf-8").read()
    synopsis = text.split(".Sh SYNOPSIS\n", 1)[1].split(".Sh ", 1)[0]
    for usage in synopsis.split(".Nm\n")[1:]:
        slots = []  # each the alternatives of one word: ".Cm list | ls"
        for line in filter(None, usage.split("\n")):
            words = re.sub(r"\b(Op|Ar)\b|\.\.\.", "", (line + " ").split(" ", 1)[1]).replace(" | ", "|").split()
            words = words or [""]  # a bare ".Fl": the option "-"
            for i, word in enumerate(words):  # a line's first word is the option after ".Fl"
                slots.append([("-" if line.startswith(".Fl") and i == 0 else "") + w for w in word.split("|")])
        yield from map(list, itertools.product(*slots))


def run_command(zentul, words, usage, env, work):
    """The faults of running one documented argument list in the empty folder work."""
    argv = [PLACEHOLDERS.get(w, w) for w in words]
    result = subprocess.run([zentul] + argv, cwd=work, env=env, stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=60)
    output = result.stdout.decode(errors="replace")
    named = " ".join(w for w in words if w not in PLACEHOLDERS) or "<%s>" % words[0]
    faults = ["refused: " + r for r in REFUSALS if r in output]
    if "Usage: zentul [options]" in output and result.returncode != 0:
        faults.append("taken as a wrong command line")
    if named not in usage:
        faults.append("the usage does not name %r" % named)
    return ["zentul %s: %s" % (shlex.join(words), f) for f in faults]


def documented_messages():
    """(document, message) for each message of the docs' message tables."""
    for doc in sorted(os.listdir(DOCS)):
        if not doc.endswith(".md"):
            continue
        in_table = False
        for line in open(os.path.join(DOCS, doc), encoding="utf-8"):
            if not line.startswith("|"):
                in_table = False
            elif line.startswith("| Message |"):
                in_table = True
            elif in_table and not line.startswith("|---"):
                first = re.split(r"(?<!\\)\|", line)[1]
                for message in re.findall(r"`([^`]+)`", first):
                    yield doc, message.replace("\\|", "|")


def pattern_of(message):
    text = re.escape(message)
    for shown, wildcard in (("%s", ".*"), ("%d", "-?[0-9]+"), ("%c", "."), ("<procedure>", "[a-z_]+")):
        text = text.replace(re.escape(shown), wildcard)
    return re.compile(text)


def all_cases(folder):
    """(folder, name, expected lines) of the docs' checked examples, written
    into folder, and of the script cases."""
    for path in sorted(os.listdir(DOCS)):
        if path.endswith(".md"):
            for start, text in doc_tests.checked_blocks(os.path.join(DOCS, path)):
                name = "%s_line_%04d" % (path[:-3], start)
                with open(os.path.join(folder, name + ".zen"), "w", encoding="utf-8") as f:
                    f.write(text)
    places = [folder] + sorted(os.path.join(HERE, "scripts", d) for d in os.listdir(os.path.join(HERE, "scripts")))
    for place in places:
        for file in sorted(f for f in os.listdir(place) if f.endswith(".zen")):
            case = runner.parse_case(runner.read_bytes(os.path.join(place, file)))
            lines = [text.decode(errors="replace") for _, text in case.out + case.err]
            yield place, file[:-4], lines


def update_calls(cell):
    """The tool calls that the documented -u commands make, as the fake tool logs them."""
    calls = []
    for command in re.findall(r"`([^`]+)`", cell):
        folder = None
        for part in command.split(" && "):
            words = shlex.split(part)
            if words[0] == "cd":
                folder = words[1]
            elif words[0] != "[":
                words = words[1:] if words[0] == "sudo" else words
                calls.append(words[0] + (" in " + folder if folder else "") + "".join(" <%s>" % w for w in words[1:]))
    return calls


def statement_faults(zentul, env, work):
    """Statements of the docs once found false, each checked against what makes it true."""
    texts = {n: open(os.path.join(ROOT, n), encoding="utf-8").read()
             for n in ("README.md", "docs/packages.md", "docs/distribution.md", "docs/zentul.1")}
    faults = ["%s: a temporary name without the mark" % n for n, t in texts.items() if re.search(r"(?<!-tmp)\.XXXXXX", t)]
    for words, shown in ((["-d"], "`zentul -d` without its address"), (["--bogus"], "`zentul --bogus`")):
        out = subprocess.run([zentul] + words, cwd=work, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT).stdout
        if shown not in texts["README.md"] or b"Cannot open file: " + words[0].encode() not in out:
            faults.append("README.md: %s is not shown as a script path that cannot be opened" % shown)
    case = open(os.path.join(HERE, "scripts", "network", "update_to_latest_version.zen"), encoding="utf-8").read()
    ran = [line.replace("{XXXXXX}", "XXXXXX") for line in re.findall(r"#\| ((?:tar|cp|mv) .*)", case)]
    documented = update_calls(re.search(r"\| Linux \|.*", texts["docs/distribution.md"]).group(0).split("|")[-2])
    if documented != ran:
        faults.append("distribution.md: -u runs %s, not %s" % (ran, documented))
    task = json.load(open(os.path.join(ROOT, "editors", "vscode", "tasks.json")))["tasks"][0]
    if "Ctrl+Shift+B" in texts["README.md"] and task["group"] != {"kind": "build", "isDefault": True}:
        faults.append("README.md: Ctrl+Shift+B does not run editors/vscode/tasks.json's task: not the default build")
    return faults


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: doc_words_test.py ZENTUL")
    zentul = os.path.abspath(sys.argv[1])
    faults, checks = [], 0
    with tempfile.TemporaryDirectory(prefix="zentul-words-") as tmp:
        for name, text in (("curl", None), ("wget", None), ("script.zen", 'print("ran");\n'),
                           ("package.zep", 'zentul:\nprint("ran");\n')):
            with open(os.path.join(tmp, name), "w") as f:
                f.write(text or WRAPPER % shlex.quote(shutil.which(name) or "false"))
            os.chmod(os.path.join(tmp, name), 0o755)
        env = dict(os.environ, PATH=tmp + os.pathsep + os.environ.get("PATH", ""))
        usage = subprocess.run([zentul, "--help"], cwd=tmp, stdout=subprocess.PIPE).stdout.decode()
        for number, words in enumerate(list(readme_commands()) + list(synopsis_commands())):
            checks += 1
            os.mkdir(os.path.join(tmp, str(number)))
            faults += run_command(zentul, words, usage, env, os.path.join(tmp, str(number)))

        checks += 1
        faults += statement_faults(zentul, env, tmp)
        os.mkdir(os.path.join(tmp, "examples"))
        cases = list(all_cases(os.path.join(tmp, "examples")))
        to_run = {}
        for doc, message in documented_messages():
            checks += 1
            pattern = pattern_of(message)
            shown = next(((place, name) for place, name, lines in cases if any(map(pattern.search, lines))), None)
            if shown is None:
                faults.append("%s: no example or script case shows %r" % (doc, message))
            else:
                to_run.setdefault(shown, []).append(message)
        for number, ((place, name), messages) in enumerate(sorted(to_run.items())):
            os.mkdir(os.path.join(tmp, "case%d" % number))
            problems = runner.run_case(zentul, place, name, os.path.join(tmp, "case%d" % number))
            faults += ["%s.zen, which shows %s: %s" % (name, messages, p) for p in problems]
    for fault in faults:
        print(fault)
    print("%d passed, %d failed" % (checks - len(faults), len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
