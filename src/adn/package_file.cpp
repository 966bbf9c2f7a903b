#include "adn/package_file.h"

#include <cstdio>
#include <string>

#include "adn/messages.h"
#include "adn/text_files.h"

namespace {

constexpr std::size_t CODE_LIMIT = 40959;
constexpr char CODE_MARKER[] = "zentul:";

}  // namespace

std::string collect_code(std::FILE* file, std::vector<int>* file_lines) {
    std::string code;
    bool in_code = false;
    std::string line;
    bool ended = true;
    for (int file_line = 1; code.size() <= CODE_LIMIT && read_line(file, line, &ended); file_line += ended) {
        if (line.empty() || line[0] == '#') continue;
        if (line == CODE_MARKER) {
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
        std::printf(adn_text::CANNOT_OPEN_PACKAGE, shown_path);
        return -1;
    }
    std::string code = collect_code(file.get());
    file.reset();
    if (code.size() > CODE_LIMIT) {
        std::printf(adn_text::PACKAGE_CODE_TOO_LARGE, shown_path);
        return -1;
    }
    if (!code.empty()) run_package_code(code.c_str());
    return 0;
}
