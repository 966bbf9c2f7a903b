#pragma once

#include <string>

#include "core/faults.h"

// Thrown when a fault is raised: a script error that ends the run. `main`
// reports it as "[Error at line N] message" on standard error and exits with
// status 1.
struct ScriptError {
    Fault fault;
    int line;             // where it is reported
    std::string message;  // the fault's
};

// The line an error reports when it is raised where no token of the
// statement has been read yet: the line of the last token read before, which
// the statements leave behind them as they end (see core/execution.h).
extern int current_line;

// Throws ScriptError for the fault, at its line, or at the current line when
// it has none.
[[noreturn]] void raise(const Fault& fault);

// The fault of that code and arguments (see core/faults.h), raised at `line`,
// or at the current line. The arguments are taken by value, so that raising
// one takes no address of the caller's.
template <typename... Arguments>
[[noreturn, gnu::cold, gnu::noinline]] void raise_at(int line, FaultCode code, Arguments... arguments) {
    Fault fault = fault_of(code, arguments...);
    fault.line = line;
    raise(fault);
}
template <typename... Arguments>
[[noreturn]] void fail(FaultCode code, const Arguments&... arguments) {
    raise_at(current_line, code, arguments...);
}

// Writes the report of a script error to standard error, standard output
// first, so that the two keep their order when they go to one place.
void report_script_error(const ScriptError& failure);
