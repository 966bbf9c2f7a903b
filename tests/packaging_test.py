#!/usr/bin/env python3
"""Check what installing and packaging Zentul produce.

Usage: packaging_test.py install|deb|archive BUILD_DIR VERSION

install  installs BUILD_DIR into a staging folder (DESTDIR) under /usr and
         runs the installed binary on an installed example;
deb      builds the Debian package with CPack, reads it with dpkg-deb and
         checks it with lintian, which must report no error;
archive  reads the release archive Zentul-VERSION.tar.gz with tar and runs
         the stripped zentul at its top.
"""

import gzip
import os
import subprocess
import sys
import tempfile

# Paths below /usr that every installation must hold.
INSTALLED_FILES = [
    "bin/zentul",
    "share/man/man1/zentul.1.gz",
    "share/doc/zentul/README.md",
    "share/doc/zentul/docs/language.md",
    "share/doc/zentul/docs/packages.md",
    "share/doc/zentul/docs/cookbook.md",
    "share/doc/zentul/docs/distribution.md",
    "share/doc/zentul/copyright",
    "share/doc/zentul/examples/hello.zen",
    "share/doc/zentul/examples/word_count.zen",
    "share/doc/zentul/examples/repository/greet.zep",
    "share/vim/vimfiles/syntax/zentul.vim",
    "share/vim/vimfiles/ftdetect/zentul.vim",
    "share/vim/vimfiles/ftplugin/zentul.vim",
    "share/vim/vimfiles/compiler/zentul.vim",
    "share/zentul/textmate/zentul.tmLanguage.json",
    "share/zentul/vscode/package.json",
    "share/zentul/sublime/Zentul.tmLanguage",
]
HELLO_FIRST_LINE = b"Hello from Zentul\n"
# Shared libraries the binary may need, and the Debian packages that hold them.
CHANGELOG = "share/doc/zentul/changelog.gz"
LIBRARY_PACKAGES = {"libc.so.6": "libc6", "libstdc++.so.6": "libstdc++6", "libm.so.6": "libc6"}


def run(command, **options):
    return subprocess.run(command, check=True, stdout=subprocess.PIPE, **options).stdout


def missing(wanted, present):
    return ["missing " + path for path in wanted if path not in present]


def check_install(build, version, tmp):
    stage = os.path.join(tmp, "stage")
    run(["cmake", "--install", build, "--prefix", "/usr"], env=dict(os.environ, DESTDIR=stage))
    present = set()
    for root, _, files in os.walk(os.path.join(stage, "usr")):
        for name in files:
            present.add(os.path.relpath(os.path.join(root, name), os.path.join(stage, "usr")))
    faults = missing(INSTALLED_FILES, present)
    if faults:
        return faults
    binary = os.path.join(stage, "usr/bin/zentul")
    example = os.path.join(stage, "usr/share/doc/zentul/examples/hello.zen")
    workdir = os.path.join(tmp, "work")
    os.mkdir(workdir)
    output = run([binary, example], cwd=workdir)
    if not output.startswith(HELLO_FIRST_LINE):
        faults.append("installed zentul on hello.zen wrote %r" % output[:80])
    banner = run([binary, "-v"], cwd=workdir).split(b"\n")[0]
    if ("+%s-" % version).encode() not in banner:
        faults.append("installed zentul -v says %r, not version %s" % (banner, version))
    return faults


def check_deb(build, version, tmp):
    run(["cpack", "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"), "-B", tmp])
    packages = [name for name in os.listdir(tmp) if name.endswith(".deb")]
    if len(packages) != 1:
        return ["cpack made %s instead of one .deb" % packages]
    deb = os.path.join(tmp, packages[0])
    listing = run(["dpkg-deb", "-c", deb]).decode().splitlines()
    present = {line.split()[-1].replace("./usr/", "", 1) for line in listing if line.strip()}
    faults = missing(INSTALLED_FILES + [CHANGELOG], present)
    fields = {
        "Package": "zentul",
        "Version": version,
        "Recommends": "curl | wget",
    }
    for field, wanted in fields.items():
        got = run(["dpkg-deb", "-f", deb, field]).decode().strip()
        if got != wanted:
            faults.append("%s is %r, expected %r" % (field, got, wanted))
    # The packaged program links dynamically: Depends names its libraries' packages.
    depends = run(["dpkg-deb", "-f", deb, "Depends"]).decode()
    unpacked = os.path.join(tmp, "unpacked")
    run(["dpkg-deb", "-x", deb, unpacked])
    needed = run(["readelf", "-d", os.path.join(unpacked, "usr/bin/zentul")]).decode()
    for library, package in LIBRARY_PACKAGES.items():
        if ("[%s]" % library) in needed and package not in depends:
            faults.append("Depends lacks %s: %r" % (package, depends.strip()))
    for tool in ("curl", "wget"):
        if tool in depends:
            faults.append("Depends names %s, which is only recommended" % tool)
    with gzip.open(os.path.join(unpacked, "usr", CHANGELOG)) as changelog:
        if not changelog.readline().startswith(b"zentul (%s) " % version.encode()):
            faults.append("the changelog's latest entry is not version %s" % version)
    report = subprocess.run(["lintian", deb], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    print(report.stdout, end="")
    if report.returncode != 0:
        faults.append("lintian reports errors (status %d)" % report.returncode)
    return faults


def check_archive(build, version, tmp):
    archive = os.path.join(build, "Zentul-%s.tar.gz" % version)
    names = sorted(run(["tar", "-tzf", archive]).decode().split())
    faults = []
    if names != ["zentul", "zentul.1"]:
        faults.append("%s holds %s, expected zentul and zentul.1 at its top" % (archive, names))
        return faults
    # The self-update's own steps: unpack in a folder, run the zentul there.
    run(["tar", "-xzf", archive], cwd=tmp)
    if b".symtab" in run(["readelf", "-S", os.path.join(tmp, "zentul")]):
        faults.append("the archive's zentul is not stripped")
    banner = run([os.path.join(tmp, "zentul"), "-v"], cwd=tmp).split(b"\n")[0]
    if ("+%s-" % version).encode() not in banner:
        faults.append("the archive's zentul -v says %r" % banner)
    return faults


CHECKS = {"install": check_install, "deb": check_deb, "archive": check_archive}


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in CHECKS:
        sys.exit("usage: packaging_test.py install|deb|archive BUILD_DIR VERSION")
    check, build, version = CHECKS[sys.argv[1]], os.path.abspath(sys.argv[2]), sys.argv[3]
    with tempfile.TemporaryDirectory(prefix="zentul-packaging-") as tmp:
        faults = check(build, version, tmp)
    for fault in faults:
        print("FAIL " + fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
