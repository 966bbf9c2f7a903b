#!/usr/bin/env python3
"""Run the Zentul script cases of one folder.

Usage: run_script_tests.py ZENTUL FOLDER

Every FOLDER/NAME.zen is one case, run in sorted order in a fresh, empty
temporary working directory. Expectations are written in the script's own
comments (anywhere on a line, after '#'):

    # expect: TEXT          one line TEXT + "\\n" of standard output, in order
                            ("# expect: " with nothing after it: an empty line)
    # expect error: TEXT    one line of standard error, in order
    # expect stderr: TEXT   the same ("expect error" is meant for
                            "[Error at line N] message" lines)
    # expect status: N      exit status; default 1 if there is any
                            "expect error", otherwise 0

Standard output and standard error are compared whole and byte for byte.
Optional files beside the script:

    NAME.args           arguments, one per line (an empty file: no arguments);
                        without it the only argument is the script's path
    NAME.stdin          bytes fed to standard input (otherwise /dev/null)
    NAME.stdout         exact expected standard output (overrides comments)
    NAME.stderr         exact expected standard error (overrides comments)
    NAME.files/         copied into the working directory before the run
    NAME.expect-files/  each file must exist afterwards in the working
                        directory with the same relative path and bytes
    NAME.absent         paths, one per line, that must not exist in the
                        working directory afterwards
    NAME.bin/           fake tools, made executable and put first on PATH
    NAME.serve/         served by "python3 -m http.server" on 127.0.0.1

Placeholders: {server} (http://127.0.0.1:PORT of the NAME.serve/ server) is
replaced in the script, args, stdin, the files copied from NAME.files/ and
all expectations; {script} (the absolute path of the copy of the script that
is run, placed outside the working directory) and {workdir} (the working
directory) are replaced in the args, the copied files and the expectations.
In NAME.expect-files/ only, {datetime} stands for any local date and time
written "YYYY-MM-DD HH:MM:SS" (a value taken from the clock at run time).
Each case may run for at most 30 seconds.
"""

import difflib
import os
import re
import shutil
import socket
import stat
import subprocess
import sys
import tempfile
import time

TIMEOUT = 30
EXPECT_RE = re.compile(rb"#\s*expect(?: (error|stderr|status))?:(.*)$")
DATETIME = rb"[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}"


def parse_expectations(source):
    """Return (stdout bytes, stderr bytes, status) from the comments."""
    out, err, status, has_error = [], [], None, False
    for line in source.split(b"\n"):
        m = EXPECT_RE.search(line.rstrip(b"\r"))
        if not m:
            continue
        kind, text = m.group(1), m.group(2)
        if text.startswith(b" "):
            text = text[1:]
        if kind is None:
            out.append(text + b"\n")
        elif kind == b"status":
            status = int(text.strip())
        else:
            has_error = has_error or kind == b"error"
            err.append(text + b"\n")
    if status is None:
        status = 1 if has_error else 0
    return b"".join(out), b"".join(err), status


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start_server(directory):
    """Start a static file server on 127.0.0.1; return (process, address)."""
    port = free_port()
    proc = subprocess.Popen(
        [sys.executable, "-m", "http.server", str(port), "--bind", "127.0.0.1",
         "--directory", directory],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return proc, "http://127.0.0.1:%d" % port
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


def fill_copied_files(directory, fill):
    """Replace the placeholders inside every file below directory."""
    for root, _, files in os.walk(directory):
        for fname in files:
            path = os.path.join(root, fname)
            with open(path, "rb") as f:
                data = f.read()
            filled = fill(data)
            if filled != data:
                with open(path, "wb") as f:
                    f.write(filled)


def file_matches(wanted, got):
    """Compare exactly, except that {datetime} matches any date and time."""
    if b"{datetime}" not in wanted:
        return got == wanted
    pattern = DATETIME.join(re.escape(part) for part in wanted.split(b"{datetime}"))
    return re.fullmatch(pattern, got) is not None


def diff(label, expected, actual):
    lines = difflib.unified_diff(
        expected.decode("utf-8", "backslashreplace").splitlines(keepends=True),
        actual.decode("utf-8", "backslashreplace").splitlines(keepends=True),
        "expected " + label, "actual " + label, lineterm="")
    return "".join("    " + line.rstrip("\n") + "\n" for line in lines)


def run_case(zentul, folder, name, tmp):
    base = os.path.join(folder, name)
    workdir = os.path.join(tmp, "work")
    os.mkdir(workdir)
    os.mkdir(os.path.join(tmp, "script"))
    script = os.path.join(tmp, "script", name + ".zen")
    subs = {b"{workdir}": workdir.encode(), b"{script}": script.encode()}
    server = None
    try:
        if os.path.isdir(base + ".serve"):
            server, address = start_server(base + ".serve")
            subs[b"{server}"] = address.encode()

        def fill(data, keys=None):
            for key, value in subs.items():
                if keys is None or key in keys:
                    data = data.replace(key, value)
            return data

        def read(suffix):
            path = base + suffix
            if os.path.isfile(path):
                with open(path, "rb") as f:
                    return f.read()
            return None

        source = read(".zen")
        with open(script, "wb") as f:
            f.write(fill(source, [b"{server}"]))
        exp_out, exp_err, exp_status = parse_expectations(source)
        exact_out, exact_err = read(".stdout"), read(".stderr")
        exp_out = fill(exp_out if exact_out is None else exact_out)
        exp_err = fill(exp_err if exact_err is None else exact_err)

        args = [script]
        args_text = read(".args")
        if args_text is not None:
            lines = args_text.split(b"\n")
            if lines[-1] == b"":
                lines.pop()
            args = [fill(a).decode() for a in lines]
        stdin = read(".stdin")
        if stdin is not None:
            stdin = fill(stdin, [b"{server}"])

        if os.path.isdir(base + ".files"):
            shutil.copytree(base + ".files", workdir, dirs_exist_ok=True)
            fill_copied_files(workdir, fill)
        # Downloads go to 127.0.0.1 directly, never through a proxy.
        env = {k: v for k, v in os.environ.items() if not k.lower().endswith("_proxy")}
        if os.path.isdir(base + ".bin"):
            bindir = os.path.join(tmp, "bin")
            shutil.copytree(base + ".bin", bindir)
            for tool in os.listdir(bindir):
                path = os.path.join(bindir, tool)
                os.chmod(path, os.stat(path).st_mode | stat.S_IXUSR | stat.S_IXGRP | stat.S_IXOTH)
            env["PATH"] = bindir + os.pathsep + env.get("PATH", "")

        try:
            result = subprocess.run([zentul] + args, cwd=workdir, env=env, timeout=TIMEOUT,
                                    input=stdin if stdin is not None else None,
                                    stdin=subprocess.DEVNULL if stdin is None else None,
                                    stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        except subprocess.TimeoutExpired:
            return "timed out after %d seconds\n" % TIMEOUT

        problems = ""
        if result.returncode != exp_status:
            problems += "    exit status %d, expected %d\n" % (result.returncode, exp_status)
        if result.stdout != exp_out:
            problems += diff("stdout", exp_out, result.stdout)
        if result.stderr != exp_err:
            problems += diff("stderr", exp_err, result.stderr)
        expect_dir = base + ".expect-files"
        for root, _, files in os.walk(expect_dir):
            for fname in sorted(files):
                rel = os.path.relpath(os.path.join(root, fname), expect_dir)
                with open(os.path.join(root, fname), "rb") as f:
                    wanted = fill(f.read())
                actual_path = os.path.join(workdir, rel)
                if not os.path.isfile(actual_path):
                    problems += "    missing file %s\n" % rel
                    continue
                with open(actual_path, "rb") as f:
                    got = f.read()
                if not file_matches(wanted, got):
                    problems += diff(rel, wanted, got)
        for rel in (read(".absent") or b"").decode().splitlines():
            if rel and os.path.lexists(os.path.join(workdir, rel)):
                problems += "    file %s should not exist\n" % rel
        return problems
    finally:
        if server is not None:
            stop_server(server)


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
        except Exception as exc:  # a broken case must not hide the others
            problems = "    runner error: %s\n" % exc
        finally:
            shutil.rmtree(tmp, ignore_errors=True)
        if problems:
            failed += 1
            sys.stdout.write("FAIL %s.zen\n%s" % (name, problems))
        else:
            passed += 1
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
