#pragma once

#include <string>
#include <string_view>
#include <vector>

// The code section of a package file's text: the lines after the first
// marker line, each with a line feed, leaving out empty lines, comment lines
// and further marker lines; a line longer than a read is taken in pieces,
// each a line of its own. Stops once the code is over the limit.
// `file_lines`, when given, gets the file's line of each line of the code.
std::string collect_code(std::string_view contents, std::vector<int>* file_lines = nullptr);

// Runs the code section of a package file's text: 0 when it ran (or held no
// code), -1 when it is too large to run. Messages name the file `shown_path`.
int run_package_text(const std::string& contents, const char* shown_path);

// Reads a .zep package file and runs its code section: 0 when the file was
// read (whether or not it held code), -1 when it cannot be read (missing,
// no regular file, too large) or its code section is too large to run.
int execute_zep_package(const char* path);

// Runs package code as a script. The package manager needs the script runner
// but sits below it; the command line sets this to the runner's `run`.
extern void (*run_package_code)(const char* code);
