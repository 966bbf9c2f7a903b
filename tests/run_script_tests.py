#!/usr/bin/env python3
"""Run the Zentul script cases of one folder.

Usage: run_script_tests.py ZENTUL FOLDER

Every FOLDER/NAME.zen is one case, run in sorted order in a fresh, empty
working directory. Everything a case needs is written in the script itself, as
comment lines ('#' to the end of the line), so one file holds the whole case.

Set-up (each on a line of its own; blanks at its end are dropped):

    # args: ARG ARG "A B"   the command line after the program, split like a
                            shell (python shlex); several lines add up; without
                            any, the only argument is the path of the script
    # or args: ARG ...      runs the case once more, afresh, with this command
                            line instead; every expectation holds for each run
    # stdin: TEXT           one line TEXT + "\\n" of standard input; repeatable,
                            in order; without any, standard input is /dev/null
    # stdin raw: TEXT       TEXT with escapes (below), no line feed added
    # file: PATH            creates PATH (relative to the working directory,
                            folders made as needed) from the content lines
                            that follow it (below); a PATH ending in '/' is
                            an empty folder
    # file: PATH < FIXTURE  copies the shared fixture FIXTURE, a file or a
                            folder below tests/scripts/fixtures/; content
                            lines after it add to the end of a file
    # serve: DIR            serves DIR (relative to the script's folder;
                            "{workdir}/site" serves files made by "# file:")
                            with python3's http.server on 127.0.0.1; one a case
    # tool: NAME            puts the shared fake tool (fixtures/fake_tool)
                            first on PATH under NAME (curl, wget, sudo, ...)
    # tool fails: NAME      NAME's downloads and commands fail with status 22
                            (its queries still answer, if given an answer)
    # tool answer: NAME     what a query ("-s", as in "curl -s ADDRESS") of NAME
                            prints; content lines follow
    # tool writes: NAME     what a download of NAME ("-o PATH", "-O PATH")
                            writes to PATH; content lines follow (without
                            them: "downloaded by NAME")
    # tool prints: NAME TEXT     every call of NAME first writes the line TEXT
                                 on standard output; repeatable
    # tool complains: NAME TEXT  the same on standard error

The fake tool appends one line per call to tools.log in the working directory:
"NAME [in DIRECTORY] <argument> <argument> ...", where "in DIRECTORY" appears
only when it was started outside the working directory. A case checks the
command lines with "# expect file: tools.log", or that no tool ran with
"# absent: tools.log".

Content lines, right after "# file:", "# expect file:", "# tool answer:" and
"# tool writes:", each on a line of its own:

    #| TEXT                 TEXT + "\\n" ("#|" alone: an empty line)
    #\\ TEXT                 TEXT with escapes, no line feed added: for a last
                            line without line feed or bytes such as "\\r"

Escapes: \\n \\r \\t \\0 \\\\ and \\xHH (one byte). A content line anywhere else is
an error in the case.

Expectations (a "# expect" may end a line of code: it stands beside the
statement that prints; the first "# expect" of a line counts):

    # expect: TEXT          one line TEXT + "\\n" of standard output, in order
    # expect raw: TEXT      TEXT with escapes, no line feed added, in order
    # expect error: MESSAGE one line "[Error at line N] MESSAGE" of standard
                            error, N being the line of this comment; a MESSAGE
                            that begins with "[Error at line " is taken as it is
    # expect stderr: TEXT   one exact line of standard error
    # expect status: N      exit status; default 1 if there is an
                            "expect error", otherwise 0
    # expect file: PATH     PATH must exist afterwards with the content of the
                            content lines that follow
    # expect file: PATH < FIXTURE   ... with the content of a shared fixture
                            file, and of the content lines after it if any
    # unchanged: PATH       PATH must still hold what "# file:" wrote there
    # absent: PATH          PATH must not exist afterwards; PATH may hold the
                            wildcards * ? [...] (".adn/packages.txt.??????")

    # check: N             what "zentul --check" on the script must exit with;
                            without it, a case that runs the script itself
                            to a clean end must check clean (0)
    # streams: merged       standard error goes into standard output, as with
                            2>&1: every expectation, of either stream, is one
                            stream in the order of the script's lines

Standard output and standard error are compared whole and byte for byte; a
failure names the script line of each expectation that did not hold.

Placeholders, replaced in args, stdin, file contents, tool steering, the
served folder, all expectations, and in the script that runs:
{server} (http://127.0.0.1:PORT of the "# serve:" server), {script} (the
absolute path of the copy of the script that runs, outside the working
directory), {workdir} (the working directory), {root} (the project's root
folder) and, for large inputs, {COUNT*TEXT}: TEXT (without braces) repeated
COUNT times, innermost first, so that "#\\ {40*{1022* }\\n}" gives 40 lines of
1022 blanks (escapes are decoded before, in the raw forms only). The script
that runs keeps its {COUNT*TEXT} as written, and so its line numbers. In
expected files only, {datetime} stands for any local "YYYY-MM-DD HH:MM:SS",
and {XXXXXX} for the six letters or digits of a temporary file's name.

Each case may run for at most 30 seconds.
"""

import difflib
import glob
import os
import re
import shlex
import shutil
import socket
import subprocess
import sys
import tempfile
import time

TIMEOUT = 30
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
FIXTURES = os.path.join(HERE, "scripts", "fixtures")
FAKE_TOOL = os.path.join(FIXTURES, "fake_tool")
ERROR_PREFIX = b"[Error at line "
WILDCARDS = {b"{datetime}": rb"[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}",
             b"{XXXXXX}": rb"[A-Za-z0-9]{6}"}
WILDCARD_RE = re.compile(b"(" + b"|".join(re.escape(w) for w in WILDCARDS) + b")")

EXPECT_RE = re.compile(rb"#\s*expect(?: (raw|error|stderr|status))?:(.*)$")
DIRECTIVE_RE = re.compile(
    rb"^\s*#\s*(args|or args|stdin|stdin raw|file|serve|tool|tool fails|tool answer|"
    rb"tool writes|tool prints|tool complains|expect file|unchanged|absent|streams|check):(.*)$")
CONTENT_RE = re.compile(rb"^\s*#(\||\\)(.*)$")
ESCAPE_RE = re.compile(rb"\\(x[0-9a-fA-F]{2}|.)", re.S)
REPEAT_RE = re.compile(rb"\{([0-9]+)\*([^{}]*)\}")
ESCAPES = {b"n": b"\n", b"r": b"\r", b"t": b"\t", b"0": b"\0", b"\\": b"\\"}
BLOCK_DIRECTIVES = (b"file", b"expect file", b"tool answer", b"tool writes")


class CaseError(Exception):
    """A case that is written wrongly."""


def unescape(text):
    def one(m):
        code = m.group(1)
        if code.startswith(b"x") and len(code) == 3:
            return bytes([int(code[1:], 16)])
        if code not in ESCAPES:
            raise CaseError("unknown escape \\%s" % code.decode(errors="replace"))
        return ESCAPES[code]
    return ESCAPE_RE.sub(one, text)


def value(text):
    """The text after "directive:", without the one blank that follows it."""
    return text[1:] if text.startswith(b" ") else text


class Case:
    """The directives of one script, each with the script line it came from."""

    def __init__(self):
        self.args = None          # list of str, or None: the script's own path
        self.other_args = []      # lists of str: further command lines, each run alike
        self.stdin = None         # bytes, or None: /dev/null
        self.files = []           # (line, path, [(line, bytes)], fixture folder or None)
        self.serve = None         # (line, folder text)
        self.tools = {}           # name -> {"fails", "answer", "writes", "prints", "complains"}
        self.merged = False       # standard error into standard output
        self.check = None         # the status "zentul --check" must give, or None
        self.out = []             # (line, bytes) of standard output, in order
        self.err = []             # (line, bytes) of standard error, in order
        self.has_error = False    # an "expect error" makes the default status 1
        self.status = None        # (line, int)
        self.expect_files = []    # (line, path, [(line, bytes)])
        self.unchanged = []       # (line, path)
        self.absent = []          # (line, path)


def parse_case(source):
    """Read every directive of a script."""
    case = Case()
    lines = source.split(b"\n")
    number = 0
    while number < len(lines):
        text = lines[number].rstrip(b"\r")
        number += 1
        m = DIRECTIVE_RE.match(text)
        if m:
            line, name, rest = number, m.group(1), value(m.group(2)).rstrip()
            content = []
            while name in BLOCK_DIRECTIVES and number < len(lines):
                c = CONTENT_RE.match(lines[number].rstrip(b"\r"))
                if not c:
                    break
                number += 1
                piece = value(c.group(2))
                content.append((number, piece + b"\n" if c.group(1) == b"|" else unescape(piece)))
            add_directive(case, line, name, rest, content)
            continue
        if CONTENT_RE.match(text):
            raise CaseError("line %d: content line without a directive before it" % number)
        m = EXPECT_RE.search(text)
        if m:
            add_expectation(case, number, m.group(1), value(m.group(2)))
    if case.status is None:
        case.status = (None, 1 if case.has_error else 0)
    return case


def add_directive(case, line, name, rest, content):
    path, _, fixture = rest.partition(b" < ")
    if name == b"args":
        case.args = (case.args or []) + shlex.split(rest.decode("utf-8", "surrogateescape"))
    elif name == b"or args":
        case.other_args.append(shlex.split(rest.decode("utf-8", "surrogateescape")))
    elif name in (b"stdin", b"stdin raw"):
        case.stdin = (case.stdin or b"") + (rest + b"\n" if name == b"stdin" else unescape(rest))
    elif name == b"file" and fixture and os.path.isdir(fixture_path(fixture)):
        if content:
            raise CaseError("line %d: a folder takes no content lines" % line)
        case.files.append((line, path, [], fixture))
    elif name in (b"file", b"expect file"):
        if fixture:
            content = [(line, read_bytes(fixture_path(fixture)))] + content
        if name == b"file":
            case.files.append((line, path, content, None))
        else:
            case.expect_files.append((line, path, content))
    elif name == b"serve":
        case.serve = (line, rest)
    elif name == b"unchanged":
        case.unchanged.append((line, rest))
    elif name == b"absent":
        case.absent.append((line, rest))
    elif name == b"streams":
        case.merged = rest == b"merged"
    elif name == b"check":
        case.check = int(rest)
    else:
        add_tool_directive(case, line, name, rest, content)


def add_tool_directive(case, line, name, rest, content):
    tool, _, text = rest.partition(b" ")
    if not tool or b"/" in tool:
        raise CaseError("line %d: no tool name" % line)
    steer = case.tools.setdefault(tool.decode(), {})
    if name == b"tool fails":
        steer["fails"] = b""
    elif name in (b"tool answer", b"tool writes"):
        steer[name[5:].decode()] = b"".join(t for _, t in content)
    elif name in (b"tool prints", b"tool complains"):
        key = name[5:].decode()
        steer[key] = steer.get(key, b"") + text + b"\n"


def add_expectation(case, line, kind, text):
    if kind is None:
        case.out.append((line, text + b"\n"))
    elif kind == b"raw":
        case.out.append((line, unescape(text)))
    elif kind == b"status":
        case.status = (line, int(text.strip()))
    elif kind == b"error" and not text.startswith(ERROR_PREFIX):
        case.has_error = True
        case.err.append((line, b"[Error at line %d] %s\n" % (line, text)))
    else:
        case.has_error = case.has_error or kind == b"error"
        case.err.append((line, text + b"\n"))


# ---------------------------------------------------------------- comparing

def show(line):
    """A quoted, readable form of one output line."""
    ending = b"" if line.endswith(b"\n") else b" (no line feed)"
    text = line[:-1] if line.endswith(b"\n") else line
    shown = repr(text.decode("utf-8", "backslashreplace"))[1:-1]
    return "'%s'%s" % (shown, ending.decode())


def lines_of(data):
    """Lines ending in "\n" (only there: a "\r" stays inside its line)."""
    lines = data.split(b"\n")
    return [line + b"\n" for line in lines[:-1]] + ([lines[-1]] if lines[-1] else [])


def split_lines(chunks):
    """Cut (script line, bytes) chunks into output lines, each with the
    script line of the expectation that ends it."""
    lines, pending = [], b""
    for number, data in chunks:
        for piece in lines_of(data):
            pending += piece
            if pending.endswith(b"\n"):
                lines.append((number, pending))
                pending = b""
    if pending:
        lines.append((chunks[-1][0], pending))
    return lines


def compare(label, expected_chunks, actual):
    """Report, line by line, where actual output differs from the chunks."""
    expected = split_lines(expected_chunks)
    got = lines_of(actual)
    want = [text for _, text in expected]
    if want == got:
        return []
    what = "expected" if label == "output" else "expected %s" % label
    problems = []
    matcher = difflib.SequenceMatcher(a=want, b=got, autojunk=False)
    for op, a1, a2, b1, b2 in matcher.get_opcodes():
        if op == "equal":
            continue
        for k in range(max(a2 - a1, b2 - b1)):
            i, j = a1 + k, b1 + k
            if i < a2 and j < b2:
                problems.append("line %s: %s %s, got %s"
                                % (expected[i][0], what, show(want[i]), show(got[j])))
            elif i < a2:
                problems.append("line %s: %s %s, missing" % (expected[i][0], what, show(want[i])))
            else:
                last = min(i, a2) - 1
                where = "after line %s" % expected[last][0] if last >= 0 else "before any expectation"
                problems.append("%s: unexpected %s %s" % (where, label, show(got[j])))
    return problems


def compare_file(number, path, expected, got):
    """Compare a file line by line; the wildcards match what they stand for."""
    want = split_lines(expected)
    have = lines_of(got)
    problems = []
    for k in range(max(len(want), len(have))):
        if k < len(want) and k < len(have):
            if not line_matches(want[k][1], have[k]):
                problems.append("line %s: %s: expected %s, got %s"
                                % (want[k][0], path, show(want[k][1]), show(have[k])))
        elif k < len(want):
            problems.append("line %s: %s: expected %s, missing" % (want[k][0], path, show(want[k][1])))
        else:
            problems.append("line %s: %s: unexpected %s" % (number, path, show(have[k])))
    return problems


def line_matches(wanted, got):
    parts = WILDCARD_RE.split(wanted)
    if len(parts) == 1:
        return got == wanted
    pattern = b"".join(WILDCARDS.get(part) or re.escape(part) for part in parts)
    return re.fullmatch(pattern, got, re.S) is not None


# ---------------------------------------------------------------- running

def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start_server(directory, port):
    """Start a static file server on 127.0.0.1:port."""
    if not os.path.isdir(directory):
        raise CaseError("no folder %s to serve" % directory)
    proc = subprocess.Popen(
        [sys.executable, "-m", "http.server", str(port), "--bind", "127.0.0.1",
         "--directory", directory],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return proc
        except OSError:
            if proc.poll() is not None:
                break
            time.sleep(0.05)
    stop_server(proc)
    raise RuntimeError("file server for %s did not start" % directory)


def stop_server(proc):
    proc.terminate()
    try:
        proc.wait(timeout=5)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def fixture_path(fixture):
    path = os.path.join(FIXTURES, os.fsdecode(fixture))
    if not os.path.exists(path):
        raise CaseError("no shared fixture %s" % os.fsdecode(fixture))
    return path


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def write_bytes(path, data):
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


class Placeholders:
    def __init__(self, workdir, script):
        self.values = {b"{workdir}": os.fsencode(workdir), b"{script}": os.fsencode(script),
                       b"{root}": os.fsencode(ROOT)}

    def __call__(self, data, repeat=True):
        for key, val in self.values.items():
            data = data.replace(key, val)
        while repeat and REPEAT_RE.search(data):
            data = REPEAT_RE.sub(lambda m: m.group(2) * int(m.group(1)), data)
        return data


def make_files(case, workdir, fill):
    for _, path, content, folder in case.files:
        target = os.path.join(workdir, os.fsdecode(path))
        if folder is not None:
            copy_fixture_folder(fixture_path(folder), target, fill)
        elif path.endswith(b"/"):
            os.makedirs(target, exist_ok=True)
        else:
            write_bytes(target, fill(b"".join(t for _, t in content)))


def copy_fixture_folder(source, target, fill):
    shutil.copytree(source, target, dirs_exist_ok=True)
    for below, _, names in os.walk(target):
        for name in names:
            full = os.path.join(below, name)
            write_bytes(full, fill(read_bytes(full)))


def make_tools(case, tmp, fill, env):
    """Link the fake tool under each name and write how it answers."""
    bindir, steerdir = os.path.join(tmp, "bin"), os.path.join(tmp, "tools")
    os.mkdir(bindir)
    os.mkdir(steerdir)
    for name, steer in case.tools.items():
        os.symlink(FAKE_TOOL, os.path.join(bindir, name))
        for key, data in steer.items():
            write_bytes(os.path.join(steerdir, "%s.%s" % (name, key)), fill(data))
    env["PATH"] = bindir + os.pathsep + env.get("PATH", "")
    env["FAKE_TOOL_STEERING"] = steerdir


def check_after(case, workdir, fill):
    problems = []
    for number, path, content in case.expect_files:
        problems += check_file(number, path, [(n, fill(t)) for n, t in content], workdir)
    made = {p: c for _, p, c, folder in case.files if folder is None}
    for number, path in case.unchanged:
        if path not in made or os.path.isdir(os.path.join(workdir, os.fsdecode(path))):
            raise CaseError("line %d: no file %s made by '# file:'" % (number, path.decode()))
        problems += check_file(number, path, [(n, fill(t)) for n, t in made[path]], workdir)
    for number, path in case.absent:
        if glob.glob(os.path.join(glob.escape(workdir), os.fsdecode(path))):
            problems.append("line %d: %s should not exist" % (number, path.decode(errors="replace")))
    return problems


def check_file(number, path, expected, workdir):
    shown = path.decode(errors="replace")
    full = os.path.join(workdir, os.fsdecode(path))
    if not os.path.isfile(full):
        return ["line %d: missing file %s" % (number, shown)]
    return compare_file(number, shown, expected, read_bytes(full))


def run_case(zentul, folder, name, tmp, source=None):
    """Run one case once for each of its command lines; return the problems."""
    if source is None:
        source = read_bytes(os.path.join(folder, name + ".zen"))
    case = parse_case(source)
    problems = []
    for index, args in enumerate([case.args] + case.other_args):
        run_tmp = os.path.join(tmp, str(index))
        os.mkdir(run_tmp)
        label = "args %s: " % shlex.join(args or [name + ".zen"]) if case.other_args else ""
        problems += [label + problem for problem in run_once(zentul, folder, name, run_tmp, source, case, args)]
    return problems


def run_once(zentul, folder, name, tmp, source, case, args):
    """Run the case with one command line (None: the script's path)."""
    workdir = os.path.join(tmp, "work")
    script = os.path.join(tmp, "script", name + ".zen")
    os.makedirs(workdir)
    os.mkdir(os.path.dirname(script))
    fill = Placeholders(workdir, script)
    if case.serve is not None:
        port = free_port()
        fill.values[b"{server}"] = b"http://127.0.0.1:%d" % port
    # Repeats stay unexpanded in the script, so that its lines keep their numbers.
    write_bytes(script, fill(source, repeat=False))
    make_files(case, workdir, fill)
    # Downloads go to 127.0.0.1 directly, never through a proxy.
    env = {k: v for k, v in os.environ.items() if not k.lower().endswith("_proxy")}
    env["FAKE_TOOL_WORKDIR"] = workdir
    if case.tools:
        make_tools(case, tmp, fill, env)
    command = [script] if args is None else [os.fsdecode(fill(os.fsencode(a))) for a in args]
    stdin = None if case.stdin is None else fill(case.stdin)
    server = None
    try:
        if case.serve is not None:
            served = os.path.join(folder, os.fsdecode(fill(case.serve[1])))
            server = start_server(served, port)
        try:
            result = subprocess.run([zentul] + command, cwd=workdir, env=env, timeout=TIMEOUT,
                                    input=stdin,
                                    stdin=subprocess.DEVNULL if stdin is None else None,
                                    stdout=subprocess.PIPE,
                                    stderr=subprocess.STDOUT if case.merged else subprocess.PIPE)
        except subprocess.TimeoutExpired:
            return ["timed out after %d seconds" % TIMEOUT]
    finally:
        if server is not None:
            stop_server(server)
    problems = []
    line, status = case.status
    if result.returncode != status:
        where = "line %d: " % line if line else ""
        problems.append("%sexit status %d, expected %d" % (where, result.returncode, status))
    if case.merged:
        problems += compare("output", [(n, fill(t)) for n, t in sorted(case.out + case.err)], result.stdout)
    else:
        problems += compare("output", [(n, fill(t)) for n, t in case.out], result.stdout)
        problems += compare("stderr", [(n, fill(t)) for n, t in case.err], result.stderr)
    problems += check_after(case, workdir, fill)
    if args is None and (case.check is not None or (status == 0 and not case.has_error)):
        problems += check_script(zentul, script, workdir, case.check)
    return problems


def check_script(zentul, script, workdir, expected):
    """A script that runs cleanly checks clean, unless the case says what the
    check finds."""
    result = subprocess.run([zentul, "--check", script], cwd=workdir, timeout=TIMEOUT, stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if expected is None and result.returncode == 0 or result.returncode == expected:
        return []
    return ["zentul --check exited %d, expected %s:\n%s" % (result.returncode, expected if expected is not None
            else "0", result.stdout.decode(errors="replace"))]


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: run_script_tests.py ZENTUL FOLDER")
    zentul, folder = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    names = sorted(f[:-4] for f in os.listdir(folder) if f.endswith(".zen"))
    passed = failed = 0
    for name in names:
        tmp = tempfile.mkdtemp(prefix="zentul-case-")
        try:
            problems = run_case(zentul, folder, name, tmp)
        except CaseError as exc:
            problems = ["case error: %s" % exc]
        except Exception as exc:  # a broken case must not hide the others
            problems = ["runner error: %s" % exc]
        finally:
            shutil.rmtree(tmp, ignore_errors=True)
        if problems:
            failed += 1
            sys.stdout.write("FAIL %s.zen\n" % name)
            sys.stdout.write("".join("    %s\n" % p for p in problems))
        else:
            passed += 1
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
