#pragma once

#include <string>

// Thrown by `error`: a script error that ends the run. `main` reports it as
// "[Error at line N] message" on standard error and exits with status 1.
struct ScriptError {
    int line;
    std::string message;
};

// The line an error reports when it is raised where no token of the
// statement has been read yet: the line of the last token read before, which
// the statements leave behind them as they end (see core/execution.h).
extern int current_line;

// Formats the message and throws ScriptError with the given line.
[[noreturn]] void error_at(int line, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The same with the current line.
[[noreturn]] void error(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A failure found while compiling, raised only if the program gets there:
// its message, and its line, 0 standing for the current line.
struct Fault {
    std::string message;
    int line;
};

[[noreturn]] void raise(const Fault& fault);

// Writes the report of a script error to standard error, standard output
// first, so that the two keep their order when they go to one place.
void report_script_error(const ScriptError& failure);
