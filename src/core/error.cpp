#include "core/error.h"

#include <cstdio>

int current_line = 1;

void raise(const Fault& fault) {
    int line = fault.line > 0 ? fault.line : current_line;
    throw ScriptError{fault, line, fault.message()};
}

void report_script_error(const ScriptError& failure) {
    std::fflush(stdout);
    std::fprintf(stderr, "[Error at line %d] %s\n", failure.line, failure.message.c_str());
    std::fflush(stderr);
}
