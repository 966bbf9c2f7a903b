#!/usr/bin/env python3
"""Run the checked examples of documentation files.

Usage: doc_tests.py ZENTUL DOC.md...

Every ```zen block that carries "# expect" comments becomes a script case
of its own, named after its document and the line where its code starts,
and all of them are run by the script test runner:

    python3 tests/run_script_tests.py ZENTUL FOLDER

Finding no checked block at all is a failure: it would check nothing.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

RUNNER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "run_script_tests.py")
FENCE_RE = re.compile(r"^```zen\s*$")
EXPECT_RE = re.compile(r"^\s*#\s*expect(?: error| status)?:")


def checked_blocks(path):
    """Yield (first line number, text) of every checked zen block."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    block, start = None, 0
    for number, line in enumerate(lines, 1):
        if block is None:
            if FENCE_RE.match(line):
                block, start = [], number + 1
        elif line.startswith("```"):
            if any(EXPECT_RE.match(text) for text in block):
                yield start, "\n".join(block) + "\n"
            block = None
        else:
            block.append(line)
    if block is not None:
        sys.exit("%s: the zen block that starts on line %d is not closed" % (path, start))


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: doc_tests.py ZENTUL DOC.md...")
    zentul, docs = sys.argv[1], sys.argv[2:]
    folder = tempfile.mkdtemp(prefix="zentul-doc-")
    try:
        count = 0
        for doc in docs:
            stem = os.path.splitext(os.path.basename(doc))[0]
            for start, text in checked_blocks(doc):
                with open(os.path.join(folder, "%s_line_%04d.zen" % (stem, start)), "w",
                          encoding="utf-8") as f:
                    f.write(text)
                count += 1
        if count == 0:
            print("no checked zen example in %s" % " ".join(docs))
            return 1
        return subprocess.run([sys.executable, RUNNER, zentul, folder]).returncode
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
