#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The code section of a package file: the lines after the first marker
// line, each with a line feed, leaving out empty lines, comment lines and
// further marker lines; a line longer than a read is taken in pieces, each
// a line of its own. Stops reading once the code is over the limit.
// `file_lines`, when given, gets the file's line of each line of the code.
std::string collect_code(std::FILE* file, std::vector<int>* file_lines = nullptr);

// Runs the code section of a .zep package file: 0 when the file was read
// (whether or not it held code), -1 when it cannot be opened or its code
// section is too large to run. Messages name the file `shown_path`, when
// given: an install reads the download before it takes the package's name.
int execute_zep_package(const char* path, const char* shown_path = nullptr);

// Runs package code as a script. The package manager needs the script runner
// but sits below it; the command line sets this to the runner's `run`.
extern void (*run_package_code)(const char* code);
