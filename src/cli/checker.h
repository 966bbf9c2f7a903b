#pragma once

#include <vector>

#include "cli/findings.h"

// `zentul --check FILE...`: checks scripts and package files without running
// anything. Each finding is printed on standard output as
// "FILE:LINE: error: MESSAGE" (what a run reaching the place would report,
// with " [CODE]" after it when a trap explains it) or
// "FILE:LINE: warning: MESSAGE [CODE]" (a silent trap, explained in the
// language guide's Surprises under its code). A script's lines are those a
// run would report, except that a fault met before a statement has read a
// token shows the statement's own line; a package file's are the file's own.
// The result is 0 without findings, 1 for warnings only, 2 when there is an
// error.
int check_files(int count, char** paths);

// The findings of one file, by line.
std::vector<Finding> check_file(const char* path);
