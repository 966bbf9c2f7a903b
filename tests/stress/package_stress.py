#!/usr/bin/env python3
"""Stress the package commands where many processes, kills, stalled servers
and full disks meet one .adn directory, and print one figure per scenario.

Usage: package_stress.py ZENTUL [--runs N] [--kills N] [--seed N] [--only NAME,...]

NAME is a scenario or a tier: "packages" (the default), "downloads" or "edges".

Scenarios:
    installs     RUNS runs of 4 concurrent `adn install` of different packages
    removes      RUNS runs of 4 concurrent `adn remove` of 4 of 6 packages
    mixed        RUNS runs of `adn remove` beside `adn install`
    mirrors      RUNS runs of 4 concurrent `adm mirror`
    kills        KILLS runs of install, update or remove ended by kill -9 at a
                 random moment, all in one directory
    stall        install, -d and -i against a server that accepts and never
                 answers, each given up to STALL_LIMIT seconds
    full_disk    install, remove and mirror under a file size limit that only
                 the package file fits
    failed_download  -d of a missing file over a file already in /tmp
    interrupt    update and -d whose download tool is ended by SIGINT

The downloads tier, against servers that answer slowly, trickle, oversize or
count:
    signals      KILLS runs of update, -d or -i hit by SIGKILL or SIGTERM sent
                 to the program's group at a random moment: record and file
                 must agree, a target hold its old or its whole new content,
                 no tool run on, and SIGTERM undo everything
    orphan       update and -d whose program alone is killed while its tool
                 runs: no tool may be left after a second, nothing written later
    trickle      install and -d against a server sending 2 bytes a second:
                 how long each holds on, and nothing may be kept
    oversized    install of a 40 MiB answer: the most stored at any moment
                 and what stays
    globbing     -d and install with {..} and [..] in their addresses: the
                 requests the server sees, one each
    symlink      install over a symbolic link at .adn/NAME.zep, delivered and
                 missing: the link's target stays untouched

The edges tier, each scenario a fault that hostile conditions once found:
    commit_kills  KILLS runs of install, update and remove, SIGKILLed at random
                  instants (with --slow BINARY, a build whose every rename and
                  removal takes 20 ms); after the next locked command the
                  record and the package file must agree
    planted       /dev/zero and FIFOs at the tables, a package file and a .zep
                  argument: no command may hang; peak memory for a 300 MiB .zep
    unreadable    a table closed to the user who runs the command (nobody, when
                  run as root): the change is refused and the table kept
    sweep         the user's files in .adn survive a locked command, an orphan
                  does not, and a running -d keeps its file through another -d
    closed_streams  install with standard input and output closed
    update_step   -u with an archive lacking the program or holding a link, and
                  a SIGKILL or SIGINT in its install step
    killed_leftovers  SIGKILL in -d and -i, then another -d or -i of the folder
    output        /dev/full, a file size limit, a closed pipe
    curl_trickle  -d from a server sending 25 bytes/s (80 s)
    long_names    -d of names of 248 to 255 bytes
    modes         -d and -i replacing 0600 files
    stops         SIGTERM while a script is read from a pipe or a FIFO, and
                  while remove and mirror wait for the lock
    hostile       the faults that hostile hands once found, one row each of
                  the table HOSTILE (as root; another user's acts run as
                  nobody): planted modes and archives, forged journals,
                  signals in -u's install step, marked names, unsynced
                  renames, a closed standard output, an oversized archive

The random moments come from --seed (printed), so that a failure replays.

Every verdict comes from the files, processes and outputs left behind, never
from a time measured: the only clocks are the random kill moments, the second
a tool may outlive the program, and the upper bounds past which a command
still running counts as hung.
Everything runs on 127.0.0.1 in fresh temporary directories. Exit status 1
when any scenario shows a fault.
"""

import argparse
import http.server
import os
import random
import re
import resource
import shutil
import shlex
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

WORKERS = 4
STALL_LIMIT = 300
PACKAGE_NAMES = ["p%d" % i for i in range(6)]
RECORD_RE = re.compile(r"^(p\d)\|1\.0\|[^|]+\|\d{4}-\d\d-\d\d \d\d:\d\d:\d\d$")
ENV = {k: v for k, v in os.environ.items() if not k.lower().endswith("_proxy")}


# The pause in the code keeps the commands of a run inside one another's
# windows (33 bytes: the full-disk limit lets it through).
PACKAGE_SOURCE = "version: 1.0\nzentul:\nsleepms(20);\n"


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class QuietServer(http.server.ThreadingHTTPServer):
    def handle_error(self, request, client_address):
        pass  # a killed client breaks its connection: expected here


def start_file_server(directory):
    handler = lambda *a, **k: QuietHandler(*a, directory=directory, **k)
    server = QuietServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, "http://127.0.0.1:%d/" % server.server_address[1]


class StalledServer:
    """Accepts every connection and never answers, until stopped."""

    def __init__(self):
        self.listener = socket.socket()
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(16)
        self.listener.settimeout(0.5)
        self.held = []
        self.stopping = threading.Event()
        self.thread = threading.Thread(target=self._accept, daemon=True)
        self.thread.start()
        self.address = "http://127.0.0.1:%d/" % self.listener.getsockname()[1]

    def _accept(self):
        while not self.stopping.is_set():
            try:
                self.held.append(self.listener.accept()[0])
            except socket.timeout:
                pass

    def stop(self):
        self.stopping.set()
        self.thread.join()
        for connection in self.held:
            connection.close()
        self.listener.close()


class Directory:
    """A fresh working directory with a .adn that names the repository."""

    def __init__(self, root, repository, installed=()):
        self.path = tempfile.mkdtemp(dir=root)
        self.adn = os.path.join(self.path, ".adn")
        os.mkdir(self.adn)
        self.write(".adn/repositories.txt", repository + "\n")
        if installed:
            lines = "".join("%s|1.0|%s|2025-01-01 00:00:00\n" % (n, repository) for n in installed)
            self.write(".adn/packages.txt", lines)
            for name in installed:
                self.write(".adn/%s.zep" % name, PACKAGE_SOURCE)

    def write(self, relative, text):
        with open(os.path.join(self.path, relative), "w") as f:
            f.write(text)

    def read(self, relative):
        try:
            with open(os.path.join(self.path, relative)) as f:
                return f.read()
        except FileNotFoundError:
            return None

    def has_file(self, name):
        return os.path.isfile(os.path.join(self.adn, name + ".zep"))

    def records(self):
        """(names in the table, lines that are no well-formed record)."""
        names, broken = [], []
        for line in (self.read(".adn/packages.txt") or "").split("\n")[:-1]:
            match = RECORD_RE.match(line)
            if match:
                names.append(match.group(1))
            else:
                broken.append(line)
        return names, broken

    def repositories(self):
        return (self.read(".adn/repositories.txt") or "").split("\n")[:-1]


def interruptible():
    """A run started in the background finds SIGINT and SIGQUIT ignored, and
    would keep them so: the scenarios send them as a terminal would."""
    signal.signal(signal.SIGINT, signal.SIG_DFL)
    signal.signal(signal.SIGQUIT, signal.SIG_DFL)


def start(zentul, directory, *args, **options):
    options = dict(dict(stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                        preexec_fn=interruptible), **options)
    return subprocess.Popen([zentul] + list(args), cwd=directory.path, env=options.pop("env", ENV),
                            start_new_session=True, **options)


def run_together(zentul, directory, commands):
    """Starts all commands at once; returns [(status, stdout)]."""
    processes = [start(zentul, directory, *command) for command in commands]
    results = []
    for process in processes:
        out, _ = process.communicate()
        results.append((process.returncode, out.decode("utf-8", "replace")))
    return results


class Figures:
    def __init__(self):
        self.failed = False

    def report(self, text, faults):
        print("%s: %s" % ("FAIL" if faults else "ok", text), flush=True)
        self.failed = self.failed or faults > 0


def scenario_installs(zentul, root, repository, figures, runs):
    lost = spliced = failed = 0
    for _ in range(runs):
        d = Directory(root, repository)
        names = PACKAGE_NAMES[:WORKERS]
        results = run_together(zentul, d, [("adn", "install", n) for n in names])
        recorded, broken = d.records()
        lost += sum(1 for n in names if n not in recorded or not d.has_file(n))
        spliced += len(broken) + len(recorded) - len(set(recorded))
        failed += sum(1 for status, _ in results if status != 0)
    figures.report("%d runs of %d concurrent installs: %d records lost, %d broken or doubled lines, "
                   "%d commands failed" % (runs, WORKERS, lost, spliced, failed), lost + spliced + failed)


def scenario_removes(zentul, root, repository, figures, runs):
    phantom = back = wrong = 0
    for _ in range(runs):
        d = Directory(root, repository, PACKAGE_NAMES)
        removed, kept = PACKAGE_NAMES[:WORKERS], PACKAGE_NAMES[WORKERS:]
        results = run_together(zentul, d, [("adn", "remove", n) for n in removed])
        recorded, broken = d.records()
        phantom += len(broken)
        back += sum(1 for n in removed if n in recorded or d.has_file(n))
        back += sum(1 for n in kept if n not in recorded or not d.has_file(n))
        wrong += sum(1 for status, out in results if status != 0 or "已移除" not in out)
    figures.report("%d runs of %d concurrent removes: %d phantom records, %d records wrongly kept or lost, "
                   "%d removes not reported" % (runs, WORKERS, phantom, back, wrong), phantom + back + wrong)


def scenario_mixed(zentul, root, repository, figures, runs):
    returned = lost = 0
    for _ in range(runs):
        d = Directory(root, repository, ["p0"])
        run_together(zentul, d, [("adn", "install", "p1"), ("adn", "remove", "p0")])
        recorded, broken = d.records()
        returned += 1 if "p0" in recorded or broken else 0
        lost += 0 if "p1" in recorded and d.has_file("p1") else 1
    figures.report("%d runs of a remove beside an install: %d removed records back, %d installed records lost"
                   % (runs, returned, lost), returned + lost)


def scenario_mirrors(zentul, root, repository, figures, runs):
    lost = spliced = 0
    for _ in range(runs):
        d = Directory(root, repository)
        addresses = ["http://127.0.0.1:9/mirror-%d-%s/" % (i, "x" * 200) for i in range(WORKERS)]
        run_together(zentul, d, [("adm", "mirror", a) for a in addresses])
        lines = d.repositories()
        lost += sum(1 for a in addresses if a not in lines)
        spliced += sum(1 for line in lines if line != repository and line not in addresses)
    figures.report("%d runs of %d concurrent mirrors: %d addresses lost, %d spliced lines"
                   % (runs, WORKERS, lost, spliced), lost + spliced)


def table_faults(d):
    """Broken lines, doubled names and records whose package file is gone."""
    recorded, broken = d.records()
    missing = [n for n in recorded if not d.has_file(n)]
    return len(broken) + len(recorded) - len(set(recorded)) + len(missing)


def timed_run(zentul, d, command):
    began = time.monotonic()
    start(zentul, d, *command).communicate()
    return time.monotonic() - began


def scenario_kills(zentul, root, repository, figures, kills):
    d = Directory(root, repository)
    commands = {"install": ("adn", "install", "p0"), "update": ("adn", "update", "p0"),
                "remove": ("adn", "remove", "p0")}
    # How long each command takes undisturbed: the kills fall inside that.
    span = {word: timed_run(zentul, d, commands[word]) for word in ("install", "update", "remove")}
    landed = {word: 0 for word in commands}
    corrupt = updates_lost = 0
    for turn in range(kills):
        word = ("install", "update", "remove")[turn % 3]
        # Install needs p0 absent, update and remove need it present.
        if ("p0" in d.records()[0]) == (word == "install"):
            start(zentul, d, *commands["remove" if word == "install" else "install"]).communicate()
        process = start(zentul, d, *commands[word])
        time.sleep(random.uniform(0, span[word]))
        if process.poll() is None:
            landed[word] += 1
            os.killpg(process.pid, signal.SIGKILL)
        process.communicate()
        start(zentul, d, "adn", "remove", "none").communicate()  # the next locked command undoes a cut commit
        corrupt += table_faults(d)
        if word == "update" and "p0" not in d.records()[0]:
            updates_lost += 1
    figures.report("%d kill -9 runs (%s landed mid-command): %d broken tables or records without file, "
                   "%d updates that lost the record"
                   % (kills, ", ".join("%d %s" % (landed[w], w) for w in commands), corrupt, updates_lost),
                   corrupt + updates_lost)


def scenario_stall(zentul, root, repository, figures, runs):
    stalled = StalledServer()
    try:
        d = Directory(root, stalled.address)
        os.mkdir(os.path.join(d.path, "inc"))
        target = "zentul-stall-%d.txt" % os.getpid()
        commands = [(("adn", "install", "p0"), 255), (("-d", stalled.address + target), 1),
                    (("-i", stalled.address + "lib.zinc"), 1)]
        began = time.monotonic()
        processes = [(start(zentul, d, *c), c, want) for c, want in commands]
        deadline = time.monotonic() + STALL_LIMIT
        hung = wrong = 0
        ended = []
        for process, command, want in processes:
            try:
                process.communicate(timeout=max(0, deadline - time.monotonic()))
                wrong += process.returncode != want
                ended.append("%s ended with %d after %.0f s" % (
                    command[0] if command[0] != "adn" else "install", process.returncode,
                    time.monotonic() - began))
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.communicate()
                hung += 1
        figures.report("stalled server: %s; %d still running after %d s, %d with a wrong status"
                       % (", ".join(ended), hung, STALL_LIMIT, wrong), hung + wrong)
    finally:
        stalled.stop()


def limit_file_size():
    signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
    resource.setrlimit(resource.RLIMIT_FSIZE, (40, 40))


def scenario_full_disk(zentul, root, repository, figures, runs):
    """A file size limit lets the 33-byte package file through, no table."""
    faults = []

    def expect(label, d, command, message, claimed, check):
        process = start(zentul, d, *command, preexec_fn=limit_file_size)
        out = process.communicate()[0].decode("utf-8", "replace")
        if process.returncode != 255 or message not in out or claimed in out or not check():
            faults.append(label)

    d = Directory(root, repository)
    expect("install", d, ("adn", "install", "p0"), "保存失败: .adn/packages.txt\n", "安装成功",
           lambda: d.read(".adn/packages.txt") is None)
    d = Directory(root, repository, ["p0", "p1"])
    before = d.read(".adn/packages.txt")
    expect("remove", d, ("adn", "remove", "p0"), "保存失败: .adn/packages.txt\n", "已移除",
           lambda: d.read(".adn/packages.txt") == before and d.has_file("p0"))
    d = Directory(root, repository)
    expect("mirror", d, ("adm", "mirror", "http://127.0.0.1:9/a-longer-address/"),
           "保存失败: .adn/repositories.txt\n", "仓库已添加", lambda: d.repositories() == [repository])
    figures.report("full disk: install, remove and mirror report the failed save and claim nothing%s"
                   % (" (wrong: %s)" % ", ".join(faults) if faults else ""), len(faults))


def scenario_failed_download(zentul, root, repository, figures, runs):
    """-d of a missing file to a path in /tmp that holds a file already."""
    name = "zentul-keep-%d.txt" % os.getpid()
    kept = os.path.join("/tmp", name)
    with open(kept, "w") as f:
        f.write("old content\n")
    try:
        process = start(zentul, Directory(root, repository), "-d", repository + name)
        process.communicate()
        with open(kept) as f:
            content = f.read()
    finally:
        os.remove(kept)
    leftovers = [f for f in os.listdir("/tmp") if f.startswith("." + name)]
    faults = (process.returncode != 1) + (content != "old content\n") + len(leftovers)
    figures.report("failed -d: status %d, the old file %s, %d set-aside files left"
                   % (process.returncode, "kept" if content == "old content\n" else "changed", len(leftovers)),
                   faults)


def fake_tools(root):
    """A curl ended by SIGINT, and a wget that only leaves a trace."""
    folder = tempfile.mkdtemp(dir=root)
    with open(os.path.join(folder, "curl"), "w") as f:
        f.write("#!/bin/sh\nkill -INT $$\n")
    with open(os.path.join(folder, "wget"), "w") as f:
        f.write("#!/bin/sh\ntouch \"%s/wget-ran\"\nexit 1\n" % folder)
    for tool in ("curl", "wget"):
        os.chmod(os.path.join(folder, tool), 0o755)
    env = dict(ENV, PATH=folder + os.pathsep + ENV.get("PATH", ""))
    return folder, env


def scenario_interrupt(zentul, root, repository, figures, runs):
    folder, env = fake_tools(root)
    faults = []
    d = Directory(root, repository, ["p0", "p1"])
    table, package = d.read(".adn/packages.txt"), d.read(".adn/p0.zep")
    process = start(zentul, d, "adn", "update", "p0", env=env)
    process.communicate()
    if process.returncode != 130 or d.read(".adn/packages.txt") != table or d.read(".adn/p0.zep") != package:
        faults.append("update: %d" % process.returncode)
    name = "zentul-interrupt-%d.txt" % os.getpid()
    kept = os.path.join("/tmp", name)
    with open(kept, "w") as f:
        f.write("old content\n")
    process = start(zentul, d, "-d", "http://127.0.0.1:9/" + name, env=env)
    process.communicate()
    with open(kept) as f:
        if process.returncode != 130 or f.read() != "old content\n":
            faults.append("-d: %d" % process.returncode)
    os.remove(kept)
    if [f for f in os.listdir("/tmp") if f.startswith("." + name)]:
        faults.append("-d left its set-aside file")
    if os.path.exists(os.path.join(folder, "wget-ran")):
        faults.append("fallback run")
    figures.report("Ctrl-C in a download: status 130, no fallback, the update undone%s"
                   % (" (wrong: %s)" % ", ".join(faults) if faults else ""), len(faults))


# ---------------------------------------------------------------- downloads tier

OLD_PACKAGE = "version: 0.9\nzentul:\n"
# Its pause lets the kills land in the package's code too; the comment line,
# read in pieces that all begin with '#', makes the download last.
NEW_PACKAGE = "version: 1.0\nzentul:\nsleepms(300);\n" + "#" * 20000 + "\n"
TRICKLE_LIMIT = 330


class AnsweringHandler(QuietHandler):
    """Counts every request and answers it as the server's `answer(path)`
    says: (body, piece size, pause after each piece)."""

    def do_GET(self):
        self.server.requests.append(self.path)
        body, piece, pause = self.server.answer(self.path)
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        try:
            for start in range(0, len(body), piece):
                self.wfile.write(body[start:start + piece])
                self.wfile.flush()
                time.sleep(pause)
        except OSError:
            pass  # the client is gone


def serve(answer):
    server = QuietServer(("127.0.0.1", 0), AnsweringHandler)
    server.answer, server.requests = answer, []
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, "http://127.0.0.1:%d/" % server.server_address[1]


def tools_of(address):
    """Processes whose command line names the server's address."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                if address.encode() in f.read():
                    found.append(int(pid))
        except OSError:
            pass
    return found


def tools_left(address):
    """The tools still running a second after the program ended; they are
    then killed, so that a faulty program leaves nothing behind."""
    deadline = time.monotonic() + 1
    while tools_of(address) and time.monotonic() < deadline:
        time.sleep(0.05)
    left = tools_of(address)
    for pid in left:
        try:
            os.kill(pid, signal.SIGKILL)
        except OSError:
            pass
    return len(left)


def temporary_files(path):
    """The files named like the temporary files beside `path`."""
    folder, name = os.path.split(path)
    return [f for f in os.listdir(folder) if f.startswith("." + name + ".")]


def remove_with_temporary_files(path):
    for name in [path] + [os.path.join(os.path.dirname(path), f) for f in temporary_files(path)]:
        if os.path.lexists(name):
            os.remove(name)


class DownloadPlace:
    """A directory with p0 installed at 0.9, an inc/lib.zinc and a file in
    /tmp, all with old content, to be replaced from `address`."""

    def __init__(self, root, address):
        self.d = Directory(root, address)
        os.mkdir(os.path.join(self.d.path, "inc"))
        self.record = "p0|0.9|%s|2020-01-01 00:00:00\n" % address
        self.tmp = "/tmp/zentul-downloads-%d.txt" % os.getpid()
        self.commands = {"update": ("adn", "update", "p0"), "-d": ("-d", address + os.path.basename(self.tmp)),
                         "-i": ("-i", address + "lib.zinc")}
        self.targets = {"update": os.path.join(self.d.adn, "p0.zep"), "-d": self.tmp,
                        "-i": os.path.join(self.d.path, "inc", "lib.zinc")}

    def reset(self):
        self.d.write(".adn/packages.txt", self.record)
        for word, target in self.targets.items():
            with open(target, "w") as f:
                f.write(OLD_PACKAGE)

    def content(self, word):
        try:
            with open(self.targets[word]) as f:
                return f.read()
        except FileNotFoundError:
            return None

    def agrees(self, word):
        """Record and file both old or both new; a target old or whole."""
        if word != "update":
            return self.content(word) in (OLD_PACKAGE, NEW_PACKAGE)
        record = self.d.read(".adn/packages.txt") or ""
        return (record == self.record and self.content(word) == OLD_PACKAGE) or \
            (record.startswith("p0|1.0|") and self.content(word) == NEW_PACKAGE)

    def untouched(self, word, earlier):
        """As before the run, no temporary file added to the `earlier` ones
        (which SIGKILL runs left)."""
        added = set(temporary_files(self.targets[word])) - set(earlier)
        return self.agrees(word) and self.content(word) == OLD_PACKAGE and not added


def slow_answer(path):
    return NEW_PACKAGE.encode(), 1024, 0.1


def scenario_signals(zentul, root, repository, figures, kills):
    server, address = serve(slow_answer)
    place = DownloadPlace(root, address)
    landed, disagree, left, term_wrong, killed = 0, 0, 0, 0, 0
    try:
        for _ in range(kills):
            word, sig = random.choice(sorted(place.commands)), random.choice([signal.SIGKILL, signal.SIGTERM])
            place.reset()
            earlier = temporary_files(place.targets[word])
            process = start(zentul, place.d, *place.commands[word])
            time.sleep(random.uniform(0, 2.6))
            if process.poll() is None:
                landed += 1
                killed += sig == signal.SIGKILL
                os.killpg(process.pid, sig)
            process.communicate()
            left += tools_left(address)
            disagree += not place.agrees(word)
            if process.returncode == 128 + signal.SIGTERM or process.returncode == -signal.SIGTERM:
                term_wrong += process.returncode != 143 or not place.untouched(word, earlier)
        # The next command that takes the lock removes what the kills left in .adn.
        start(zentul, place.d, "adm", "mirror", address + "again/").communicate()
        stale = len(temporary_files(place.targets["update"]))
    finally:
        remove_with_temporary_files(place.tmp)
        server.shutdown()
    figures.report("%d SIGKILL/SIGTERM runs of update, -d, -i (%d landed, %d of them SIGKILL): %d with record and "
                   "file or target in disagreement, %d tools left running, %d SIGTERM runs not undone with 143, "
                   "%d temporary files in .adn after the next locked command"
                   % (kills, landed, killed, disagree, left, term_wrong, stale), disagree + left + term_wrong + stale)


def sizes_at(path):
    """The sizes of the file at `path` and of the temporary files beside it."""
    names = [path] + [os.path.join(os.path.dirname(path), f) for f in temporary_files(path)]
    return {n: os.path.getsize(n) for n in names if os.path.exists(n)}


def scenario_orphan(zentul, root, repository, figures, runs):
    server, address = serve(lambda path: (NEW_PACKAGE.encode(), 512, 0.1))
    place = DownloadPlace(root, address)
    faults = []
    try:
        for word in ("update", "-d"):
            place.reset()
            process = start(zentul, place.d, *place.commands[word])
            while not tools_of(address) and process.poll() is None:
                time.sleep(0.05)
            time.sleep(0.5)
            os.kill(process.pid, signal.SIGKILL)  # the program alone
            process.wait()  # not its output: a tool left running would hold it open
            at_death = sizes_at(place.targets[word])
            left = tools_left(address)
            written = sizes_at(place.targets[word]) != at_death
            process.communicate()
            if left or written or not place.agrees(word):
                faults.append("%s: %d tools left, %s written later, record and file %s"
                              % (word, left, "something" if written else "nothing",
                                 "agree" if place.agrees(word) else "disagree"))
    finally:
        remove_with_temporary_files(place.tmp)
        server.shutdown()
    figures.report("program alone killed while its tool runs: %s" % ("; ".join(faults) or
                                                                      "no tool left after a second, nothing "
                                                                      "written later, record and file agree"),
                   len(faults))


def scenario_trickle(zentul, root, repository, figures, runs):
    server, address = serve(lambda path: (b"x" * 4096, 2, 1.0))
    d = Directory(root, address)
    target = "/tmp/zentul-trickle-%d.txt" % os.getpid()
    began = time.monotonic()
    processes = [("install", start(zentul, d, "adn", "install", "p0"), 255, d.adn + "/p0.zep"),
                 ("-d", start(zentul, d, "-d", address + os.path.basename(target)), 1, target)]
    texts, faults = [], 0
    try:
        for label, process, want, kept in processes:
            try:
                process.communicate(timeout=max(0, began + TRICKLE_LIMIT - time.monotonic()))
                texts.append("%s ended with %d after %.0f s" % (label, process.returncode, time.monotonic() - began))
                faults += process.returncode != want
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.communicate()
                texts.append("%s still running after %d s" % (label, TRICKLE_LIMIT))
                faults += 1
            faults += os.path.exists(kept) + len(temporary_files(kept))
        faults += tools_left(address)
    finally:
        remove_with_temporary_files(target)
        server.shutdown()
    figures.report("server trickling 2 bytes/s: %s" % ", ".join(texts), faults)


def scenario_oversized(zentul, root, repository, figures, runs):
    answer = b"version: 1.0\nzentul:\n" + b"#" * (40 * 1024 * 1024)
    server, address = serve(lambda path: (answer, 1024 * 1024, 0))
    d = Directory(root, address)
    process = start(zentul, d, "adn", "install", "p1")
    most = 0
    while process.poll() is None:
        most = max([most] + [os.path.getsize(os.path.join(d.adn, f)) for f in os.listdir(d.adn)
                             if "p1" in f and os.path.isfile(os.path.join(d.adn, f))])
        time.sleep(0.02)
    process.communicate()
    kept = sum(os.path.getsize(os.path.join(d.adn, f)) for f in os.listdir(d.adn) if "p1" in f)
    left = tools_left(address)
    server.shutdown()
    figures.report("40 MiB package answer: status %d, at most %d bytes stored, %d bytes kept, %d tools left"
                   % (process.returncode, most, kept, left),
                   (process.returncode != 255) + (most > 16 * 1024 * 1024 + 1) + (kept > 0) + left)


def scenario_globbing(zentul, root, repository, figures, runs):
    server, address = serve(lambda path: (b"ok\n", 1024, 0))
    d = Directory(root, address)
    commands = [("-d", address + "{a,b}/x{1,2}.txt"), ("-d", address + "f[1-3].txt"), ("adn", "install", "p{1,2}")]
    counts = []
    for command in commands:
        start(zentul, d, *command).communicate()
        counts.append(len(server.requests) - sum(counts))
    tools_left(address)
    for name in ("/tmp/x{1,2}.txt", "/tmp/f[1-3].txt"):
        remove_with_temporary_files(name)
    server.shutdown()
    recorded = d.records()[0] == [] and "p{1,2}|1.0.0|" in (d.read(".adn/packages.txt") or "")
    figures.report("brace and bracket addresses (-d {a,b}/x{1,2}, -d f[1-3], install p{1,2}): %s requests, %s"
                   % (", ".join(map(str, counts)), "the literal name recorded" if recorded else "a wrong record"),
                   (counts != [1] * len(commands)) + (not recorded))


def scenario_symlink(zentul, root, repository, figures, runs):
    faults = []
    for name, delivered in (("p1", True), ("p9", False)):
        d = Directory(root, repository)
        d.write("victim.txt", "not to be touched\n")
        link = os.path.join(d.adn, name + ".zep")
        os.symlink("../victim.txt", link)
        start(zentul, d, "adn", "install", name).communicate()
        if d.read("victim.txt") != "not to be touched\n":
            faults.append("%s: the link's target written" % name)
        if os.path.islink(link) == delivered:
            faults.append("%s: the link %s" % (name, "followed" if delivered else "removed"))
    figures.report("symbolic link at .adn/NAME.zep: %s" % ("; ".join(faults) or
                                                           "replaced when delivered, kept when not, its target "
                                                           "untouched"), len(faults))


# ---------------------------------------------------------------- edges tier

SLOW = None  # --slow: a build whose renames and removals each take 20 ms
HUNG_LIMIT = 10


def run_bounded(zentul, d, *args, limit=HUNG_LIMIT, **options):
    """(status, or None when still running after `limit` s; stdout; stderr)."""
    process = start(zentul, d, *args, **options)
    try:
        out, err = process.communicate(timeout=limit)
        return process.returncode, out.decode("utf-8", "replace"), err.decode("utf-8", "replace")
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.communicate()
        return None, "", ""


def plant(path, kind):
    if os.path.lexists(path):
        os.remove(path)
    os.symlink("/dev/zero", path) if kind == "zero" else os.mkfifo(path)


def recorded_version(d):
    for line in (d.read(".adn/packages.txt") or "").split("\n"):
        if line.startswith("p0|"):
            return line.split("|")[1]
    return None


def record_and_file_agree(d):
    version, content = recorded_version(d), d.read(".adn/p0.zep")
    return content is None if version is None else content == "version: %s\nzentul:\n" % version


def scenario_commit_kills(zentul, root, repository, figures, kills):
    served = tempfile.mkdtemp(dir=root)
    server, address = start_file_server(served)
    d, binary, words = Directory(root, address), SLOW or zentul, ("install", "update", "remove")
    span = {}
    landed = disagree = mid_commit = 0
    for turn in range(kills + 3):
        word = words[turn % 3]
        if (recorded_version(d) is None) != (word == "install"):
            start(zentul, d, "adn", "remove" if word == "install" else "install", "p0").communicate()
        with open(os.path.join(served, "p0.zep"), "w") as f:
            f.write("version: %d.0\nzentul:\n" % turn)
        began, process = time.monotonic(), start(binary, d, "adn", word, "p0")
        if word in span:  # the first run of each measures how long it takes undisturbed
            time.sleep(random.uniform(0, span[word]))
            landed += process.poll() is None
            if process.poll() is None:
                os.killpg(process.pid, signal.SIGKILL)
        process.communicate()
        span.setdefault(word, time.monotonic() - began)
        mid_commit += os.path.exists(os.path.join(d.adn, "journal"))
        start(zentul, d, "adn", "remove", "none").communicate()  # the next locked command
        disagree += not record_and_file_agree(d)
    server.shutdown()
    figures.report("%d SIGKILLs at random instants of install, update and remove%s (%d landed, %d inside a commit): "
                   "%d with record and file in disagreement after the next locked command"
                   % (kills, ", renames slowed" if SLOW else "", landed, mid_commit, disagree), disagree)


def peak_kib(zentul, directory, *args):
    """The highest resident size seen while it runs (wait4's figure would
    count this script's own size, which the child starts from)."""
    process = subprocess.Popen([zentul] + list(args), cwd=directory, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
    peak = 0
    while process.poll() is None:
        try:
            with open("/proc/%d/status" % process.pid) as f:
                peak = max([peak] + [int(line.split()[1]) for line in f if line.startswith("VmHWM:")])
        except (OSError, ValueError):
            pass
        time.sleep(0.005)
    return peak


def scenario_planted(zentul, root, repository, figures, runs):
    hung, claimed = [], 0
    for kind in ("zero", "fifo"):
        for table in ("packages.txt", "repositories.txt"):
            d = Directory(root, repository, ["p1"])
            d.write("s.zen", 'print("ran");\n')
            plant(os.path.join(d.adn, table), kind)
            for args in (("-v",), ("s.zen",), ("adn", "list"), ("adm", "ls"), ("adn", "install", "p0")):
                status = run_bounded(zentul, d, *args)[0]
                hung += ["%s at %s: %s" % (kind, table, " ".join(args))] if status is None else []
                claimed += args[-1] == "p0" and status == 0
        d = Directory(root, repository, ["p0"])
        plant(os.path.join(d.adn, "p0.zep"), kind)
        plant(os.path.join(d.path, "z.zep"), kind)
        for args in (("adn", "update", "p0"), ("z.zep",), ("--check", "z.zep")):
            hung += ["%s: %s" % (kind, " ".join(args))] if run_bounded(zentul, d, *args)[0] is None else []
    d = Directory(root, repository)
    with open(os.path.join(d.path, "big.zep"), "wb") as f:
        f.truncate(300 * 1024 * 1024)
    peaks = [peak_kib(zentul, d.path, *args) for args in (("big.zep",), ("--check", "big.zep"))]
    figures.report("/dev/zero and FIFOs planted at the tables, a package file, a .zep: %d of 32 commands hung (%s), "
                   "%d installs claimed; 300 MiB .zep: peak %d KiB run, %d KiB checked"
                   % (len(hung), "; ".join(hung) or "none", claimed, peaks[0], peaks[1]), len(hung) + claimed)


def as_nobody():
    os.setgid(65534)
    os.setuid(65534)


def scenario_unreadable(zentul, root, repository, figures, runs):
    lost = []
    for table, command in (("packages.txt", ("adn", "install", "p1")), ("repositories.txt", ("adm", "mirror", "X"))):
        d = Directory(root, repository, ["p0"])
        path = os.path.join(d.adn, table)
        before = d.read(".adn/" + table)
        if os.geteuid() == 0:
            for folder, _, files in os.walk(d.path):
                for name in [folder] + [os.path.join(folder, f) for f in files]:
                    os.chown(name, 65534, 65534)
        os.chmod(path, 0)
        status = run_bounded(zentul, d, *command, preexec_fn=as_nobody if os.geteuid() == 0 else None)[0]
        os.chmod(path, 0o644)
        if status != 255 or d.read(".adn/" + table) != before:
            lost.append("%s: status %s" % (table, status))
    figures.report("unreadable table, run as a user it is closed to: %s" % ("; ".join(lost) or
                                                                             "each change refused, 255, kept"),
                   len(lost))


def scenario_sweep(zentul, root, repository, figures, runs):
    d = Directory(root, repository)
    mine = [".adn/packages.txt.backup", ".adn/repositories.txt.old001", ".adn/.hello.zep.before"]
    for name in mine:
        d.write(name, "user's\n")
    d.write(".adn/.p9.zep.zentul-tmp.Orphan", "left by a kill\n")
    start(zentul, d, "adn", "remove", "nothing").communicate()
    taken = [n for n in mine if d.read(n) is None]
    orphan = d.read(".adn/.p9.zep.zentul-tmp.Orphan") is not None
    server, address = serve(slow_answer)
    first = "/tmp/zentul-sweep-a-%d.txt" % os.getpid()
    process = start(zentul, d, "-d", address + os.path.basename(first))
    time.sleep(0.5)
    start(zentul, d, "-d", address + "zentul-sweep-b-%d.txt" % os.getpid()).communicate()  # sweeps /tmp meanwhile
    process.communicate()
    with open(first) as f:
        whole = f.read() == NEW_PACKAGE
    for name in (first, "/tmp/zentul-sweep-b-%d.txt" % os.getpid()):
        remove_with_temporary_files(name)
    server.shutdown()
    figures.report("sweep: %d of the user's 3 files taken, the orphan %s, a running -d's file %s"
                   % (len(taken), "kept" if orphan else "taken", "kept" if whole and process.returncode == 0
                      else "taken"), len(taken) + orphan + (not whole))


def scenario_closed_streams(zentul, root, repository, figures, runs):
    d = Directory(root, repository)
    status = subprocess.call(["sh", "-c", 'exec "$0" adn install p0 <&- >&- 2>&-', zentul], cwd=d.path)
    intact = status == 1 and d.read(".adn/p0.zep") in (None, PACKAGE_SOURCE)  # its first write fails
    figures.report("standard streams closed: the package file %s" % ("intact" if intact else "written into"),
                   not intact)


def fake_update_tools(root, archive, tar_pause, copy_pause=0):
    """curl answering 9.9.9 and delivering `archive` (129 MiB when the folder
    holds "big"), tar pausing first, sudo running its command, cp writing what
    it copies into cp.log, cp (pausing halfway) and mv acting on the folder's
    bin/ for /usr/local/bin/, each sending SIGTERM to the pid in "pid" when
    done if the folder holds "signal.cp" or "signal.mv"."""
    folder = tempfile.mkdtemp(dir=root)
    os.mkdir(os.path.join(folder, "bin"))
    mapped = 'for a; do set -- "$@" "$(printf %%s "$a" | sed "s|^/usr/local/bin/|%s/bin/|")"; shift; done\n' % folder
    done = '[ -f "%s/signal.${0##*/}" ] && kill -TERM "$(cat %s/pid)"\nexit 0\n' % (folder, folder)
    tools = {"curl": '[ "$1" = -s ] && { echo 9.9.9; exit 0; }\nwhile [ "$1" != -o ]; do shift; done\n'
                     '{ cat "%s"; [ ! -f %s/big ] || head -c %d /dev/zero; } >"$2"\n' % (archive, folder, 129 << 20),
             "tar": "sleep %s\nexec %s \"$@\"\n" % (tar_pause, shutil.which("tar")),
             "cp": 'cat "$1" >>"%s/cp.log"\n%s[ -d "$2" ] && set -- "$1" "$2/zentul"\n{ head -c 2000 "$1"; sleep %s; '
                   'tail -c +2001 "$1"; } >"$2" || exit 1\n%s' % (folder, mapped, copy_pause, done),
             "mv": '%s%s "$@" || exit 1\n%s' % (mapped, shutil.which("mv"), done), "sudo": 'exec "$@"\n'}
    for name, body in tools.items():
        with open(os.path.join(folder, name), "w") as f:
            f.write("#!/bin/sh\n" + body)
        os.chmod(os.path.join(folder, name), 0o755)
    return folder, dict(ENV, PATH=folder + os.pathsep + ENV.get("PATH", ""))


def make_archive(root, members):
    import io
    import tarfile
    path = os.path.join(root, "update-%d.tar.gz" % len(os.listdir(root)))
    with tarfile.open(path, "w:gz") as archive:
        for name, content in members:
            info = tarfile.TarInfo(name)
            if content is None:
                info.type, info.linkname = tarfile.SYMTYPE, "/etc/hostname"
                archive.addfile(info)
            else:
                info.size = len(content)
                archive.addfile(info, io.BytesIO(content))
    return path


def scenario_update_step(zentul, root, repository, figures, runs):
    faults, d = [], Directory(root, repository)
    with open("/tmp/zentul", "w") as f:
        f.write("planted\n")
    try:
        for label, members in (("no program", [("README", b"x\n")]), ("a link", [("zentul", None)])):
            folder, env = fake_update_tools(root, make_archive(root, members), 0)
            status = run_bounded(zentul, d, "-u", env=env)[0]
            if os.path.exists(os.path.join(folder, "cp.log")) or status != 1:
                faults.append("archive with %s: status %s, something installed" % (label, status))
    finally:
        os.remove("/tmp/zentul")
    archive = make_archive(root, [("zentul", b"new program\n")])
    for sig in (signal.SIGKILL, signal.SIGINT):
        folder, env = fake_update_tools(root, archive, 3)
        process = start(zentul, d, "-u", env=env)
        time.sleep(1.5)
        os.kill(process.pid, sig)  # the program alone: its tools are not in its group
        out = process.communicate()[0].decode()
        left = tools_left(folder)
        time.sleep(2.5)
        if left or os.path.exists(os.path.join(folder, "cp.log")) or "complete" in out or \
                (sig == signal.SIGINT and process.returncode != 130):
            faults.append("%s in the install step: status %d, %d tools left%s" % (
                signal.Signals(sig).name, process.returncode, left,
                ", installed anyway" if os.path.exists(os.path.join(folder, "cp.log")) else ""))
    if os.path.exists("/tmp/Zentul-9.9.9.tar.gz"):
        os.remove("/tmp/Zentul-9.9.9.tar.gz")
    status = run_bounded(zentul, d, "-d", repository + "p0.zep")[0]  # sweeps what the kill left in /tmp
    stale = [f for f in os.listdir("/tmp") if f.startswith(".zentul-update.zentul-tmp.")]
    remove_with_temporary_files("/tmp/p0.zep")
    figures.report("-u install step: %s; %d private folders left after the next -d (status %s)"
                   % ("; ".join(faults) or "a planted or linked program never installed, a kill or Ctrl-C stops "
                      "tar and cp", len(stale), status), len(faults) + len(stale))


def scenario_killed_leftovers(zentul, root, repository, figures, runs):
    server, address = serve(slow_answer)
    d = Directory(root, address)
    os.mkdir(os.path.join(d.path, "inc"))
    left = []
    for command, target, next_command in (
            (("-d", address + "zentul-left-%d.txt" % os.getpid()), "/tmp/zentul-left-%d.txt" % os.getpid(),
             ("-d", address + "zentul-next-%d.txt" % os.getpid())),
            (("-i", address + "lib.zinc"), os.path.join(d.path, "inc", "lib.zinc"), ("-i", address + "next.zinc"))):
        process = start(zentul, d, *command)
        time.sleep(0.5)
        os.killpg(process.pid, signal.SIGKILL)
        process.communicate()
        tools_left(address)
        start(zentul, d, *next_command).communicate()
        left += temporary_files(target)
    for name in ("/tmp/zentul-left-%d.txt", "/tmp/zentul-next-%d.txt"):
        remove_with_temporary_files(name % os.getpid())
    server.shutdown()
    figures.report("SIGKILL in -d and -i: %d temporary files left after the next -d or -i of the folder"
                   % len(left), len(left))


def scenario_output(zentul, root, repository, figures, runs):
    d, faults = Directory(root, repository), []
    d.write("hello.zen", 'print("hello");\n')
    d.write("big.zen", 'write_file("out.txt", "%s");\nprint("written");\n' % ("x" * 1000))
    d.write("loop.zen", 'while (1) { print("y"); }\n')
    with open("/dev/full", "w") as full:
        process = subprocess.Popen([zentul, "hello.zen"], cwd=d.path, stdout=full, stderr=subprocess.PIPE)
        err = process.communicate()[1].decode()
    if process.returncode != 1 or "Cannot write output" not in err:
        faults.append("/dev/full: status %d" % process.returncode)
    status, _, err = run_bounded(zentul, d, "big.zen", preexec_fn=lambda: resource.setrlimit(
        resource.RLIMIT_FSIZE, (100, 100)))
    if status != 1 or "Failed to write file" not in err:
        faults.append("file size limit: status %s" % status)
    process = start(zentul, d, "loop.zen")
    process.stdout.readline()
    process.stdout.close()
    err = process.communicate(timeout=HUNG_LIMIT)[1]
    if err or process.returncode not in (141, -signal.SIGPIPE):
        faults.append("closed pipe: status %d, %r on standard error" % (process.returncode, err.decode()))
    figures.report("output: %s" % ("; ".join(faults) or "/dev/full and a file size limit reported with status 1, "
                                   "a closed pipe quiet"), len(faults))


def scenario_curl_trickle(zentul, root, repository, figures, runs):
    server, address = serve(lambda path: (b"t" * 2000, 1, 0.04))  # 25 bytes a second for 80 s
    d = Directory(root, address)
    target = "/tmp/zentul-slow-%d.txt" % os.getpid()
    status = run_bounded(zentul, d, "-d", address + os.path.basename(target), limit=150)[0]
    whole = os.path.exists(target) and os.path.getsize(target) == 2000
    remove_with_temporary_files(target)
    requests = len(server.requests)
    server.shutdown()
    figures.report("-d from a server sending 25 bytes/s: status %s, %d requests, the file %s"
                   % (status, requests, "whole" if whole else "missing"), (status != 0) + (requests != 1) + (not whole))


def scenario_long_names(zentul, root, repository, figures, runs):
    server, address = serve(lambda path: (b"ok\n", 1024, 0))
    d, failed = Directory(root, address), []
    for length in range(248, 256):
        name = "n" * length
        if run_bounded(zentul, d, "-d", address + name)[0] != 0:
            failed.append(length)
        remove_with_temporary_files("/tmp/" + name)
    server.shutdown()
    figures.report("-d of names of 248 to 255 bytes: %d failed %s" % (len(failed), failed), len(failed))


def scenario_modes(zentul, root, repository, figures, runs):
    server, address = serve(lambda path: (b"new\n", 1024, 0))
    d = Directory(root, address)
    os.mkdir(os.path.join(d.path, "inc"))
    targets = {"-d": "/tmp/zentul-mode-%d.txt" % os.getpid(), "-i": os.path.join(d.path, "inc", "lib.zinc")}
    modes = []
    for option, target in targets.items():
        with open(target, "w") as f:
            f.write("old\n")
        os.chmod(target, 0o600)
        run_bounded(zentul, d, option, address + os.path.basename(target))
        modes.append("%s %o" % (option, os.stat(target).st_mode & 0o777))
    remove_with_temporary_files(targets["-d"])
    server.shutdown()
    figures.report("0600 targets replaced: %s" % ", ".join(modes), sum(not m.endswith(" 600") for m in modes))


def scenario_stops(zentul, root, repository, figures, runs):
    d, faults = Directory(root, repository, ["p0"]), []
    os.mkfifo(os.path.join(d.path, "fifo.zen"))
    reading = [start(zentul, d, "/dev/stdin", stdin=subprocess.PIPE), start(zentul, d, "fifo.zen")]
    import fcntl
    lock = os.open(d.adn, os.O_RDONLY)
    fcntl.flock(lock, fcntl.LOCK_EX)
    table = d.read(".adn/repositories.txt")
    waiting = [start(zentul, d, "adn", "remove", "p0"), start(zentul, d, "adm", "mirror", "http://127.0.0.1:9/x/")]
    time.sleep(0.5)
    for process in reading + waiting:
        os.killpg(process.pid, signal.SIGTERM)
    time.sleep(1)
    os.close(lock)
    for label, process in zip(("script from a pipe", "script from a FIFO", "remove", "mirror"), reading + waiting):
        try:
            process.communicate(timeout=HUNG_LIMIT)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.communicate()
        if process.returncode != 143:
            faults.append("%s: %s" % (label, process.returncode))
    if "p0" not in d.records()[0] or not d.has_file("p0") or d.read(".adn/repositories.txt") != table:
        faults.append("changed after the signal")
    figures.report("SIGTERM while a script is read and while waiting for the lock: %s"
                   % ("; ".join(faults) or "each ends with 143, nothing changed"), len(faults))


# ---------------------------------------------------------------- hostile hands

OLD_PROGRAM, NEW_PROGRAM, THEIR_PROGRAM = b"old program\n" * 400, b"new program\n" * 400, b"theirs\n"
JOURNAL = "zentul journal 1\npackage %s\nfile %s\ntable %s\nend\n"
# Run as nobody: each time a file of root's stands at $0, rewrite it with $1.
REWRITE = 'while :; do [ "$(stat -c %u "$0")" = 0 ] && cat "$1" >"$0"; sleep 0.01; done 2>/dev/null'


class HostilePlace:
    """A fresh directory with p0 installed whose .adn anyone may write, the
    user's victim.zep beside it, and the update tools of fake_update_tools
    with bin/zentul holding the old program."""

    def __init__(self, zentul, root, repository):
        self.zentul, self.root, self.d = zentul, root, Directory(root, repository, ["p0"])
        self.d.write("victim.zep", "mine\n")
        os.chmod(self.d.adn, 0o777)
        self.tools, self.env = fake_update_tools(root, make_archive(root, [("zentul", NEW_PROGRAM)]), 0.2, 0.2)
        self.program = self.plant(os.path.join(self.tools, "bin", "zentul"), OLD_PROGRAM)
        self.kept = {n: self.d.read(n) for n in (".adn/packages.txt", ".adn/p0.zep", "victim.zep")}

    def plant(self, path, data, owner=0, mode=0o644):
        with open(path, "wb") as f:
            f.write(data.encode() if isinstance(data, str) else data)
        os.chown(path, owner, owner)
        os.chmod(path, mode)
        return path

    def run(self, *args, sig=None, **options):
        """(status, stdout, stderr); `sig` lands at a random instant after cp starts."""
        process = start(self.zentul, self.d, *args, env=options.pop("env", self.env), **options)
        self.plant(os.path.join(self.tools, "pid"), str(process.pid))
        while sig and not os.path.exists(os.path.join(self.tools, "cp.log")) and process.poll() is None:
            time.sleep(0.01)
        time.sleep(random.uniform(0, 0.3) if sig else 0)
        if sig and process.poll() is None:
            os.killpg(process.pid, sig)
        out, err = process.communicate(timeout=60)
        return process.returncode, out.decode("utf-8", "replace"), err.decode("utf-8", "replace")

    def refuses(self, owner, text):
        """A journal planted by `owner` (nobody: 65534), or a link to one: refused, nothing touched."""
        if owner == "link":
            self.plant(os.path.join(self.d.path, "valid"), JOURNAL % ("p0", "none", "none"), 65534)
            os.symlink("../valid", os.path.join(self.d.adn, "journal"))
        else:
            self.plant(os.path.join(self.d.adn, "journal"), text, owner)
        outs = [self.run(*words)[1] for words in (("adn", "remove", "none"), ("adn", "ls"))]
        return all("无法撤销未完成的更改: .adn/journal" in out for out in outs) and all(
            self.d.read(n) == t for n, t in self.kept.items())

    def installed(self, status, out, *_):
        """The old program or the new one, whole; unless killed, status 0 and the message say the new one."""
        program = open(self.program, "rb").read()
        told = status == -signal.SIGKILL or (status == 0) == (program == NEW_PROGRAM) == ("complete!" in out)
        return program in (OLD_PROGRAM, NEW_PROGRAM) and told

    def rewritten(self):
        """-u over an archive that nobody planted in /tmp, rewritten by them once root's stands there."""
        theirs = self.plant("/tmp/zentul-theirs-%d" % os.getpid(), open(make_archive(self.root, [(
            "zentul", THEIR_PROGRAM)]), "rb").read(), 65534)
        planted = self.plant("/tmp/Zentul-9.9.9.tar.gz", "planted\n", 65534, 0o666)
        rewriter = subprocess.Popen(["sh", "-c", REWRITE, planted, theirs], cwd="/tmp", preexec_fn=as_nobody)
        result = self.run("-u")
        rewriter.kill()
        rewriter.wait()
        list(map(os.remove, (theirs, planted)))
        return result[0] == 0 and self.installed(*result)

    def planted_mode(self):
        target = self.plant("/tmp/zentul-planted-%d" % os.getpid(), "theirs\n", 65534, 0o666)
        self.run("-d", "http://127.0.0.1:9/" + os.path.basename(target))
        mode = os.stat(target).st_mode
        os.remove(target)
        return mode & 0o022 == 0

    def synced(self):
        """Install, update, remove by the slowed build: no rename unsynced when the journal goes."""
        for words in (("install", "p1"), ("update", "p0"), ("remove", "p1")):
            self.run("adn", *words, env=dict(ENV, ZENTUL_STEP_LOG=self.tools + "/steps"), executable=SLOW)
        pending, unsynced = False, 0
        for step, path in (line.split(" ", 1) for line in open(self.tools + "/steps").read().splitlines()):
            unsynced += step == "remove" and path == ".adn/journal" and pending
            pending = step == "rename" or (pending and step != "sync")
        return unsynced == 0

    def listed(self):
        """adn ls by the slowed build, while a commit begins between its look at the journal and its read."""
        table = self.kept[".adn/packages.txt"]
        journal = JOURNAL.replace("table %s\n", "table %d\n%s") % ("p9", "none", len(table.encode()), table)
        begin = "printf %%s %s >.adn/journal && echo 'p9|1|r|t' >.adn/packages.txt" % shlex.quote(journal)
        out = self.run("adn", "ls", env=dict(ENV, ZENTUL_AT_READ=begin), executable=SLOW)[1]
        return "p9" not in out and "p0" in out

    def closed_output(self):
        self.d.write("w.zen", 'write_file("out.txt", "data");\nprint("hi");\n')
        ran = subprocess.run(["sh", "-c", 'exec "$0" w.zen >&-', self.zentul], cwd=self.d.path, stderr=subprocess.PIPE)
        return ran.returncode == 1 and self.d.read("out.txt") == "data" and b"Bad file descriptor" in ran.stderr


# Each fault that hostile hands once found, as (what is done, runs,
# check(place, run number) -> held); a second user's acts are nobody's.
# Those that need the slowed build (--slow) say "slowed build".
HOSTILE = [
    ("-d over a 0666 file another user planted in /tmp: no write bit for others", 1, lambda p, n: p.planted_mode()),
    ("-u over an archive another user planted and rewrites after the rename: theirs never installed", 3,
     lambda p, n: p.rewritten()),
    ("their journal: package ../victim", 1, lambda p, n: p.refuses(65534, JOURNAL % ("../victim", "none", "none"))),
    ("their journal: table none", 1, lambda p, n: p.refuses(65534, JOURNAL % ("p0", "none", "none"))),
    ("a link at .adn/journal", 1, lambda p, n: p.refuses("link", "")),
    ("one byte changed: file kepT; table +0, table  0, table 0abc", 4, lambda p, n: p.refuses(
        0, JOURNAL % ("p0", "kepT", "none") if n == 0 else JOURNAL % ("p0", "kept", ("", "+0", " 0", "0abc")[n]))),
    ("SIGKILL, SIGTERM, SIGINT at random instants of the -u install step", 30, lambda p, n: p.installed(
        *p.run("-u", sig=(signal.SIGKILL, signal.SIGTERM, signal.SIGINT)[n % 3]))),
    ("adn ls and a locked command with a journal cut short", 1, lambda p, n: p.refuses(0, JOURNAL[:27] % "p0")),
    ("adn ls by the slowed build while a commit begins", 1, lambda p, n: p.listed()),
    ("-d of a marked name: refused", 1, lambda p, n: p.run("-d", "http://127.0.0.1:9/.x.zentul-tmp.abcdef")[0] == 1
     and not os.path.exists("/tmp/.x.zentul-tmp.abcdef")),
    ("SIGTERM as cp, then as mv ends", 4, lambda p, n: p.plant(
        os.path.join(p.tools, ("signal.cp", "signal.mv")[n % 2]), "") and p.installed(*p.run("-u"))),
    ("install, update, remove by the slowed build: every rename synced before the journal goes", 1, lambda p, n: p.synced()),
    ("a script run with standard output closed", 1, lambda p, n: p.closed_output()),
    ("-u of an archive of 129 MiB: the old program stays", 1, lambda p, n: p.plant(
        os.path.join(p.tools, "big"), "") and p.installed(*p.run("-u")) and open(p.program, "rb").read() == OLD_PROGRAM),
]


def scenario_hostile(zentul, root, repository, figures, runs):
    for label, tries, check in HOSTILE:
        if os.geteuid() != 0 or ("slowed build" in label and not SLOW):
            figures.report("%s: not run (needs root and --slow)" % label, 0)
            continue
        held = sum(bool(check(HostilePlace(zentul, root, repository), turn)) for turn in range(tries))
        figures.report("%s: %d of %d held" % (label, held, tries), tries - held)


SCENARIOS = {
    "installs": scenario_installs, "removes": scenario_removes, "mixed": scenario_mixed,
    "mirrors": scenario_mirrors, "kills": scenario_kills, "stall": scenario_stall,
    "full_disk": scenario_full_disk, "failed_download": scenario_failed_download,
    "interrupt": scenario_interrupt,
}
DOWNLOAD_SCENARIOS = {
    "signals": scenario_signals, "orphan": scenario_orphan, "trickle": scenario_trickle,
    "oversized": scenario_oversized, "globbing": scenario_globbing, "symlink": scenario_symlink,
}
EDGE_SCENARIOS = {
    "commit_kills": scenario_commit_kills, "planted": scenario_planted, "unreadable": scenario_unreadable,
    "sweep": scenario_sweep, "closed_streams": scenario_closed_streams, "update_step": scenario_update_step,
    "killed_leftovers": scenario_killed_leftovers, "hostile": scenario_hostile, "output": scenario_output, "curl_trickle": scenario_curl_trickle,
    "long_names": scenario_long_names, "modes": scenario_modes, "stops": scenario_stops,
}
TIERS = {"packages": list(SCENARIOS), "downloads": list(DOWNLOAD_SCENARIOS), "edges": list(EDGE_SCENARIOS)}
# Those that only wait run beside the others.
WAITING = ("stall", "trickle", "curl_trickle")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("zentul")
    parser.add_argument("--runs", type=int, default=20)
    parser.add_argument("--kills", type=int, default=60)
    parser.add_argument("--seed", type=int, default=random.randrange(1 << 32))
    parser.add_argument("--only", default="packages")
    parser.add_argument("--slow", help="a build whose file steps are slowed, for commit_kills")
    options = parser.parse_args()
    global SLOW
    SLOW = options.slow and os.path.abspath(options.slow)
    print("seed %d" % options.seed, flush=True)
    random.seed(options.seed)
    scenarios = dict(SCENARIOS, **DOWNLOAD_SCENARIOS, **EDGE_SCENARIOS)
    names = [n for name in options.only.split(",") for n in TIERS.get(name, [name])]
    zentul = os.path.abspath(options.zentul)
    root = tempfile.mkdtemp(prefix="zentul-stress-")
    figures = Figures()
    try:
        packages = os.path.join(root, "served")
        os.mkdir(packages)
        for name in PACKAGE_NAMES:
            with open(os.path.join(packages, name + ".zep"), "w") as f:
                f.write(PACKAGE_SOURCE)
        server, repository = start_file_server(packages)
        try:
            waiting = [threading.Thread(target=scenarios[name], args=(zentul, root, repository, figures, 0))
                       for name in names if name in WAITING]
            for thread in waiting:
                thread.start()
            for name in names:
                if name not in WAITING:
                    count = options.kills if name in ("kills", "signals", "commit_kills") else options.runs
                    scenarios[name](zentul, root, repository, figures, count)
            for thread in waiting:
                thread.join()
        finally:
            server.shutdown()
    finally:
        shutil.rmtree(root, ignore_errors=True)
    return 1 if figures.failed else 0


if __name__ == "__main__":
    sys.exit(main())
