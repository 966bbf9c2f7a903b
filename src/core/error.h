#pragma once

#include <string>

// Thrown by `error`: a script error that ends the run. `main` reports it as
// "[Error at line N] message" on standard error and exits with status 1.
struct ScriptError {
    int line;
    std::string message;
};

// Formats the message and throws ScriptError with the current line.
[[noreturn]] void error(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Writes the report of a script error to standard error.
void report_script_error(const ScriptError& failure);
