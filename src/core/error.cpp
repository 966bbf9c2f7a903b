#include "core/error.h"

#include <cstdarg>
#include <cstdio>

#include "core/cursor.h"

void error(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measuring;
    va_copy(measuring, args);
    int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    std::string message(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(message.data(), message.size() + 1, format, args);
    va_end(args);
    throw ScriptError{current_line, message};
}

void report_script_error(const ScriptError& failure) {
    std::fprintf(stderr, "[Error at line %d] %s\n", failure.line, failure.message.c_str());
    std::fflush(stderr);
}
