#include "adn/package_file.h"

#include <cstdio>
#include <string>

#include "adn/package_rules.h"
#include "adn/text_files.h"
#include "core/faults.h"
#include "system/file_reading.h"

namespace {

template <typename... Arguments>
void report(FaultCode code, const Arguments&... arguments) {
    std::printf("Error: %s\n", fault_of(code, arguments...).message().c_str());
}

}  // namespace

std::string collect_code(std::string_view contents, std::vector<int>* file_lines) {
    std::string code;
    bool in_code = false;
    LineReader lines(contents);
    std::string line;
    bool ended = true;
    for (int file_line = 1; code.size() <= zep::CODE_LIMIT && lines.next(line, &ended); file_line += ended) {
        if (line.empty() || line[0] == '#') continue;
        if (line == zep::CODE_MARKER) {
            in_code = true;
        } else if (in_code) {
            code += line;
            code += '\n';
            if (file_lines != nullptr) file_lines->push_back(file_line);
        }
    }
    return code;
}

void (*run_package_code)(const char* code) = nullptr;

int run_package_text(const std::string& contents, const char* shown_path) {
    std::string code = collect_code(contents);
    if (code.size() > zep::CODE_LIMIT) {
        report(FaultCode::PACKAGE_CODE_TOO_LARGE, shown_path);
        return -1;
    }
    if (!code.empty()) run_package_code(code.c_str());
    return 0;
}

int execute_zep_package(const char* path) {
    FileText file = read_file_text(path, PACKAGE_READ);
    if (file.outcome == ReadOutcome::TOO_LARGE) {
        report(FaultCode::PACKAGE_FILE_TOO_LARGE, path, read_failure_reason(file, PACKAGE_READ));
        return -1;
    }
    if (file.outcome != ReadOutcome::READ) {
        report(FaultCode::CANNOT_OPEN_PACKAGE, path);
        return -1;
    }
    return run_package_text(file.text, path);
}
