#include "core/error.h"

#include <cstdarg>
#include <cstdio>

#include "core/cursor.h"

void error(const char* format, ...) {
    char message[4096];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    throw ScriptError{current_line, message};
}

void report_script_error(const ScriptError& failure) {
    std::fprintf(stderr, "[Error at line %d] %s\n", failure.line, failure.message.c_str());
    std::fflush(stderr);
}
