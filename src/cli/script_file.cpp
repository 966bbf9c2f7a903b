#include "cli/script_file.h"

#include <cstring>
#include <new>
#include <string>

#include "cli/runner.h"
#include "core/error.h"
#include "system/file_reading.h"

namespace {

constexpr char STANDARD_INPUT[] = "-";

FileText read_script_text(const char* path) {
    if (std::strcmp(path, STANDARD_INPUT) == 0) return read_standard_input(SCRIPT_READ);
    return read_file_text(path, SCRIPT_READ);
}

}  // namespace

void run_file(const char* path) { run(read_script_file(path).c_str()); }

std::string read_script_file(const char* path) {
    FileText file;
    try {
        file = read_script_text(path);
    } catch (const std::bad_alloc&) {
        fail(FaultCode::OUT_OF_MEMORY);
    }
    switch (file.outcome) {
        case ReadOutcome::READ: return std::move(file.text);
        case ReadOutcome::TOO_LARGE: fail(FaultCode::SCRIPT_TOO_LARGE, path, static_cast<int>(SCRIPT_READ.most_bytes / MEBIBYTE));
        case ReadOutcome::MISSING:
        case ReadOutcome::NOT_OPENED: fail(FaultCode::CANNOT_OPEN_FILE, path);
        case ReadOutcome::NOT_ALLOWED:
        case ReadOutcome::FAILED: break;
    }
    fail(FaultCode::CANNOT_READ_FILE, path);
}
