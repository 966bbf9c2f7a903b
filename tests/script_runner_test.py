#!/usr/bin/env python3
"""Checks of run_script_tests.py on cases written here: the directives that
no script case uses, and the failure report, which must name script lines.

Usage: script_runner_test.py ZENTUL
"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ZENTUL = None


def run_cases(cases, fixtures=None):
    """Run the runner, copied beside its own fixtures folder, on the cases
    {name: text}; fixtures {path: text} go below scripts/fixtures/, and a
    name with '/' puts a file beside the cases. Return (status, report)."""
    with tempfile.TemporaryDirectory() as tmp:
        fixture_folder = os.path.join(tmp, "scripts", "fixtures")
        os.makedirs(fixture_folder)
        shutil.copy(os.path.join(HERE, "run_script_tests.py"), tmp)
        shutil.copy(os.path.join(HERE, "scripts", "fixtures", "fake_tool"), fixture_folder)
        files = {os.path.join(fixture_folder, p): t for p, t in (fixtures or {}).items()}
        files.update({os.path.join(tmp, "cases", n if "/" in n else n + ".zen"): t
                      for n, t in cases.items()})
        for path, text in files.items():
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
        result = subprocess.run(
            [sys.executable, os.path.join(tmp, "run_script_tests.py"), ZENTUL,
             os.path.join(tmp, "cases")],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=120)
    return result.returncode, result.stdout


class Directives(unittest.TestCase):
    def test_fixture_folder_served_folder_and_explicit_error_line(self):
        status, report = run_cases({
            "folders": """# file: repo < packages
# file: .adn/repositories.txt
#| {server}/
# serve: site
adn(install hello);  # expect: 正在下载 hello 从 {server}/hello.zep...
# expect: 下载成功: .adn/hello.zep
# expect: 执行包中的 Lua 代码...
# expect: from the served folder
# expect: 包 hello 版本 1.0.0 安装成功
read_file("repo/one.txt");
print(__read_file_result, "nel");  # expect raw: one at {server}
print(x);
# expect error: [Error at line 12] Undefined variable: x
""",
            "site/hello.zep": 'zentul:\nprint("from the served folder");\n',
        }, fixtures={"packages/one.txt": "one at {server}"})
        self.assertEqual(report, "1 passed, 0 failed\n")
        self.assertEqual(status, 0)

    def test_tool_steering_and_repeats(self):
        status, report = run_cases({"tool": """# args: "a b.zep"
# file: a b.zep
#| zentul:
#| print("{3*{2*ab}}");
#| adn(install hello);
# file: .adn/repositories.txt
#| http://127.0.0.1:9/
# tool: curl
# tool prints: curl fake curl
# tool complains: curl unseen
# tool writes: curl
#\\ zentul:\\nprint("written");
# expect file: tools.log
#| curl <-f> <-L> <-g> <--connect-timeout> <30> <--speed-limit> <1> <--speed-time> <60> <-o> <.adn/.hello.zep.zentul-tmp.{XXXXXX}> <http://127.0.0.1:9/hello.zep>
# expect: abababababab
# expect: 正在下载 hello 从 http://127.0.0.1:9/hello.zep...
# expect: fake curl
# expect: 下载成功: .adn/hello.zep
# expect: 执行包中的 Lua 代码...
# expect: written
# expect: 包 hello 版本 1.0.0 安装成功
"""})
        self.assertEqual(report, "1 passed, 0 failed\n")
        self.assertEqual(status, 0)


class FailureReport(unittest.TestCase):
    def test_each_failed_expectation_names_its_line(self):
        status, report = run_cases({"good": 'print("ok");  # expect: ok\n', "wrong": """print("x is", 7);  # expect: x is 6
print("extra");
print("a");  # expect: a
# expect: never printed
var z = 1 / 0;
# expect error: Division by zero
# expect status: 3
# expect file: out.txt
# file: kept.txt
#| old
# unchanged: kept.txt
# absent: kept.txt
"""})
        self.assertEqual(report, """FAIL wrong.zen
    line 7: exit status 1, expected 3
    line 1: expected 'x is 6', got 'x is 7'
    after line 1: unexpected output 'extra'
    line 4: expected 'never printed', missing
    line 6: expected stderr '[Error at line 6] Division by zero', got '[Error at line 5] Division by zero'
    line 8: missing file out.txt
    line 12: kept.txt should not exist
1 passed, 1 failed
""")
        self.assertEqual(status, 1)

    def test_file_and_line_feed_differences(self):
        status, report = run_cases({"files": """write_file("t.txt", "a\\nb");
print("no line feed", "nel");  # expect: no line feed
# expect file: t.txt
#| a
#| c
"""})
        self.assertEqual(report, """FAIL files.zen
    line 2: expected 'no line feed', got 'no line feed' (no line feed)
    line 5: t.txt: expected 'c', got 'b' (no line feed)
0 passed, 1 failed
""")
        self.assertEqual(status, 1)

    def test_each_command_line_runs_and_a_wildcard_finds_a_file(self):
        status, report = run_cases({"twice": """# args: -v
# or args: -h
# file: made.txt.abc
# absent: made.txt.???
# expect: Zentul Re+4.0.1-Release(adn+1.0.100+fix)
# expect: A simple interpreted programming language
"""})
        self.assertIn("args -h: line 6: expected 'A simple interpreted programming language', got", report)
        self.assertEqual(report.count("line 4: made.txt.??? should not exist"), 2)
        self.assertEqual(status, 1)

    def test_a_wrongly_written_case_fails_alone(self):
        status, report = run_cases({"broken": "# file: x < no_such_fixture\n",
                                    "fine": "print(1);  # expect: 1\n"})
        self.assertEqual(report, "FAIL broken.zen\n    case error: no shared fixture no_such_fixture\n"
                                 "1 passed, 1 failed\n")
        self.assertEqual(status, 1)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: script_runner_test.py ZENTUL")
    ZENTUL = os.path.abspath(sys.argv.pop())
    unittest.main()
