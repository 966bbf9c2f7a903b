#include "cli/checker.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "adn/package_file.h"
#include "adn/package_rules.h"
#include "adn/text_files.h"
#include "cli/findings.h"
#include "cli/flow_check.h"
#include "cli/runner.h"
#include "cli/script_file.h"
#include "lexer/tokenizer.h"
#include "stmt/compiler.h"
#include "system/file_reading.h"

namespace {

// A header line whose "nel" is found on a later line (it has no '>').
bool nel_found_past_header(const char* header) {
    const char* line_end = std::strchr(header, '\n');
    const char* nel = find_nel(header);
    return line_end != nullptr && nel != nullptr && nel > line_end;
}

// Checks a source text as a run would read it; the lines are the run's.
// `package`: the code of a package, whose names the installing script may set.
std::vector<Finding> check_text(const std::string& source, bool package) {
    std::vector<Finding> findings;
    const char* header = find_header(source.c_str());
    if (header != nullptr && nel_found_past_header(header)) {
        findings.push_back(warning(1 + static_cast<int>(std::count(source.c_str(), header, '\n')),
                                   Trap::HEADER_UNCLOSED));
    }
    std::unique_ptr<char, decltype(&std::free)> text(strip_config(source.c_str()), &std::free);
    LexResult lexed = tokenize(text.get());
    if (lexed.fault) {
        findings.push_back(Finding{lexed.line, true, lexed.fault->message()});
        return findings;
    }
    FlowCheck check(package);
    Compiler compiler(&check);
    compiler.program();
    std::vector<Finding> flow = check.finish(lexed.cut_words);
    findings.insert(findings.end(), flow.begin(), flow.end());
    return findings;
}

bool is_package_path(const char* path) {
    const char* dot = std::strrchr(path, '.');
    return dot != nullptr && std::strcmp(dot, ".zep") == 0;
}

std::vector<Finding> check_script(const char* path) {
    try {
        return check_text(read_script_file(path), false);
    } catch (const ScriptError& failure) {
        return {Finding{failure.line, true, failure.message}};
    }
}

// The traps of the package file's own lines, by the file's line numbers.
void check_package_lines(const std::string& content, bool has_code, std::vector<Finding>& findings) {
    const std::string crlf_marker = std::string(zep::CODE_MARKER) + "\r";
    bool crlf = false;
    std::size_t start = 0;
    for (int line = 1; start < content.size(); line++) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        std::string text = content.substr(start, end - start);
        if (text == crlf_marker) findings.push_back(warning(line, Trap::CRLF_PACKAGE));
        crlf = crlf || text == crlf_marker;
        if (zep::is_version_line(text) && text.size() > zep::VERSION_PREFIX.size() &&
            text[zep::VERSION_PREFIX.size()] != ' ') {
            findings.push_back(warning(line, Trap::VERSION_BLANK, zep::version_written(text)));
        }
        if (text.size() > LINE_READ_SIZE - 1) findings.push_back(warning(line, Trap::LONG_LINE));
        start = end + 1;
    }
    if (!has_code && !crlf) findings.push_back(warning(1, Trap::NO_CODE));
}

// The code's findings, moved from the lines a run numbers (its header line
// cut out) to the file's own.
void move_to_file_lines(const std::string& code, const std::vector<int>& file_lines, std::vector<Finding>& findings) {
    const char* header = find_header(code.c_str());
    int header_line = header == nullptr ? 0 : 1 + static_cast<int>(std::count(code.c_str(), header, '\n'));
    int last = static_cast<int>(file_lines.size());
    for (Finding& finding : findings) {
        int code_line = header_line > 0 && finding.line >= header_line ? finding.line + 1 : finding.line;
        if (last > 0) finding.line = file_lines[static_cast<std::size_t>(std::clamp(code_line, 1, last) - 1)];
    }
}

std::vector<Finding> check_package(const char* path) {
    FileText file = read_file_text(path, PACKAGE_READ);
    if (file.outcome == ReadOutcome::TOO_LARGE) {
        Fault too_large = fault_of(FaultCode::PACKAGE_FILE_TOO_LARGE, path, read_failure_reason(file, PACKAGE_READ));
        return {Finding{1, true, too_large.message()}};
    }
    if (file.outcome != ReadOutcome::READ) {
        return {Finding{1, true, fault_of(FaultCode::CANNOT_OPEN_PACKAGE, path).message()}};
    }
    std::vector<int> file_lines;
    std::string code = collect_code(file.text, &file_lines);
    const std::string& content = file.text;
    std::vector<Finding> findings;
    if (code.size() > zep::CODE_LIMIT) {  // a run refuses it whole
        Fault too_large = fault_of(FaultCode::PACKAGE_CODE_TOO_LARGE, path);
        findings.push_back(Finding{file_lines.back(), true, too_large.message()});
    } else if (!code.empty()) {
        findings = check_text(code, true);
        move_to_file_lines(code, file_lines, findings);
    }
    check_package_lines(content, !code.empty(), findings);
    return findings;
}

void print_finding(const char* path, const Finding& finding) {
    std::string code = finding.trap != Trap::NONE ? std::string(" [") + trap_code(finding.trap) + "]" : "";
    std::printf("%s:%d: %s: %s%s\n", path, finding.line, finding.error ? "error" : "warning", finding.message.c_str(),
                code.c_str());
}

}  // namespace

std::vector<Finding> check_file(const char* path) {
    std::vector<Finding> findings = is_package_path(path) ? check_package(path) : check_script(path);
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
    std::set<std::pair<int, std::string>> seen;
    std::erase_if(findings,
                  [&](const Finding& finding) { return !seen.insert({finding.line, finding.message}).second; });
    return findings;
}

int check_files(int count, char** paths) {
    int status = 0;
    for (int i = 0; i < count; i++) {
        for (const Finding& finding : check_file(paths[i])) {
            print_finding(paths[i], finding);
            status = std::max(status, finding.error ? 2 : 1);
        }
    }
    return status;
}
