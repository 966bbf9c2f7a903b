#include "adn/package_file.h"

#include <cstdio>
#include <string>

#include "adn/package_rules.h"
#include "adn/text_files.h"
#include "core/faults.h"

namespace {

void report(FaultCode code, const char* path) { std::printf("Error: %s\n", fault_of(code, path).message().c_str()); }

}  // namespace

std::string collect_code(std::FILE* file, std::vector<int>* file_lines) {
    std::string code;
    bool in_code = false;
    std::string line;
    bool ended = true;
    for (int file_line = 1; code.size() <= zep::CODE_LIMIT && read_line(file, line, &ended); file_line += ended) {
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

int execute_zep_package(const char* path, const char* shown_path) {
    if (shown_path == nullptr) shown_path = path;
    OpenFile file = open_file(path, "r");
    if (file == nullptr) {
        report(FaultCode::CANNOT_OPEN_PACKAGE, shown_path);
        return -1;
    }
    std::string code = collect_code(file.get());
    file.reset();
    if (code.size() > zep::CODE_LIMIT) {
        report(FaultCode::PACKAGE_CODE_TOO_LARGE, shown_path);
        return -1;
    }
    if (!code.empty()) run_package_code(code.c_str());
    return 0;
}
