#include "core/error.h"

#include <cstdarg>
#include <cstdio>
#include <utility>

int current_line = 1;

namespace {

std::string formatted(const char* format, va_list args) {
    va_list measuring;
    va_copy(measuring, args);
    int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    std::string message(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(message.data(), message.size() + 1, format, args);
    return message;
}

}  // namespace

void error_at(int line, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string message = formatted(format, args);
    va_end(args);
    throw ScriptError{line, std::move(message)};
}

void error(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string message = formatted(format, args);
    va_end(args);
    throw ScriptError{current_line, std::move(message)};
}

void raise(const Fault& fault) { throw ScriptError{fault.line > 0 ? fault.line : current_line, fault.message}; }

void report_script_error(const ScriptError& failure) {
    std::fflush(stdout);
    std::fprintf(stderr, "[Error at line %d] %s\n", failure.line, failure.message.c_str());
    std::fflush(stderr);
}
