#pragma once

#include <string>

// Reads a script file and runs it. The file may be a regular file, a pipe or
// another stream (`zentul /dev/stdin`, `zentul <(generate)`), read to its
// end; "-" is standard input. A NUL byte ends the script text. A file that
// cannot be opened, a directory, a read error or a script over 64 MiB is a
// script error at line 1 ("Cannot open file: %s", "Cannot read file: %s").
void run_file(const char* path);

// Reads a script file as run_file does, failing the same way.
std::string read_script_file(const char* path);
