#!/usr/bin/env python3
"""Stress the package commands where many processes, kills, stalled servers
and full disks meet one .adn directory, and print one figure per scenario.

Usage: package_stress.py ZENTUL [--runs N] [--kills N] [--seed N] [--only NAME,...]

NAME is a scenario or a tier: "packages" (the default) or "downloads".

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


def start(zentul, directory, *args, **options):
    return subprocess.Popen([zentul] + list(args), cwd=directory.path, env=options.pop("env", ENV),
                            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
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
        faults.append("update")
    name = "zentul-interrupt-%d.txt" % os.getpid()
    kept = os.path.join("/tmp", name)
    with open(kept, "w") as f:
        f.write("old content\n")
    process = start(zentul, d, "-d", "http://127.0.0.1:9/" + name, env=env)
    process.communicate()
    with open(kept) as f:
        if process.returncode != 130 or f.read() != "old content\n":
            faults.append("-d")
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
TIERS = {"packages": list(SCENARIOS), "downloads": list(DOWNLOAD_SCENARIOS)}
# Those that only wait run beside the others.
WAITING = ("stall", "trickle")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("zentul")
    parser.add_argument("--runs", type=int, default=20)
    parser.add_argument("--kills", type=int, default=60)
    parser.add_argument("--seed", type=int, default=random.randrange(1 << 32))
    parser.add_argument("--only", default="packages")
    options = parser.parse_args()
    print("seed %d" % options.seed, flush=True)
    random.seed(options.seed)
    scenarios = dict(SCENARIOS, **DOWNLOAD_SCENARIOS)
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
                    count = options.kills if name in ("kills", "signals") else options.runs
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
