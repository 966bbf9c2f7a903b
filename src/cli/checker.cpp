#include "cli/checker.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "adn/package_file.h"
#include "builtins/procedures.h"
#include "cli/runner.h"
#include "cli/script_file.h"
#include "lexer/tokenizer.h"
#include "stmt/compiler.h"

namespace {

using Use = Findings::Use;

// The silent traps, by code; each has its entry under Surprises in
// docs/language.md. "%s" stands for the name or text concerned.
struct Trap {
    const char* code;
    const char* message;
};

const Trap traps[] = {
    {"string-copy", "`%s` may hold a string, but copying it copies its number (0): copy a text with substring(%s, 0, 1023)"},
    {"string-compare", "`%s` may hold a string, but a comparison compares its number (0), never its text"},
    {"string-number", "`%s` may hold a string, which reads as a number as 0 (or its last number)"},
    {"long-name", "a name is cut after 63 characters: the rest, `%s`, is read as a token of its own"},
    {"misplaced-header", "`sg<` is a header only on the first line, after comment lines: here it is code"},
    {"header-unclosed", "the header line has no '>': \"nel\" anywhere after it turns print's line feed off"},
    {"reserved-name", "`%s` is a reserved word and cannot name a variable: choose another name"},
    {"print-call", "a print argument cannot call a function: store the value in a variable and print that"},
    {"rand-in-loop", "each rand makes a new variable, so a loop fills the table of 256: draw one seed, compute the rest"},
    {"crlf-package", "the marker line ends in a carriage return, so the package runs no code: save it with line feeds"},
    {"version-blank", "`version:` without a blank loses a character and records `%s`: write `version: ` and the version"},
    {"long-line", "a line over 1023 bytes is read in pieces and the rest of it runs as code: split the line"},
    {"unset-in-package", "`%s` is set nowhere in the package: the script that installs it must set it first"},
};

const Trap& trap(const char* code) {
    for (const Trap& known : traps) {
        if (std::strcmp(known.code, code) == 0) return known;
    }
    std::abort();  // every code used is in the table
}

struct Finding {
    int line;
    bool error;
    std::string message;  // with " [code]" for a warning
};

bool is_keyword(const char* word) {
    for (const KeywordEntry* row = keywords; row->name != nullptr; row++) {
        if (std::strcmp(row->name, word) == 0) return true;
    }
    return false;
}

// The findings of one text: the faults the compiler meets, and what the names
// it notes tell.
class TextCheck : public Findings {
public:
    explicit TextCheck(bool package) : package_(package) {}

    std::vector<Finding> findings;

    void fault(const Fault& found) override {
        findings.push_back(Finding{found.line, true, found.message});
        hint_at(found);
    }

    void name(const char* name, int line, Use use) override {
        uses_.push_back(NameUse{name, line, use});
        if (use == Use::DECLARED || use == Use::SET || use == Use::TEXT_SET) defined_.insert(name);
        if (use == Use::TEXT_SET) texts_.insert(name);
    }

    // After a statement that always fails: past its ';', or past the block
    // that ends it (with an else part that follows), or at a line that
    // begins a statement, or where the enclosing block ends.
    int resume_after(int start) override {
        int braces = 0;
        int parens = 0;
        for (int at = start; tokens[at].type != TOKEN_EOF; at++) {
            if (at > start && braces == 0 && begins_statement_line(at)) return at;
            switch (tokens[at].type) {
                case TOKEN_LPAREN: parens++; break;
                case TOKEN_RPAREN: parens--; break;
                case TOKEN_LBRACE: braces++; break;
                case TOKEN_RBRACE:
                    if (braces == 0) return std::max(at, start + 1);
                    if (--braces == 0 && tokens[at + 1].type != TOKEN_ELSE) return at + 1;
                    break;
                case TOKEN_SEMICOLON:
                    if (braces == 0 && parens <= 0) return at + 1;
                    break;
                default: break;
            }
        }
        return token_count - 1;
    }

    void warn(int line, const char* code, const std::string& text = "") {
        char message[512];
        std::snprintf(message, sizeof message, trap(code).message, text.c_str(), text.c_str());
        findings.push_back(Finding{line, false, std::string(message) + " [" + code + "]"});
    }

    // What the uses of names tell, once the whole text is compiled.
    void check_names(bool names_may_come_from_packages) {
        std::set<std::pair<std::string, int>> explained;  // reads reported as copies or comparisons
        for (const NameUse& use : uses_) {
            if (use.use == Use::COPIED || use.use == Use::COMPARED) explained.insert({use.name, use.line});
        }
        for (const NameUse& use : uses_) {
            check_defined(use, names_may_come_from_packages);
            if (texts_.count(use.name) == 0) continue;
            if (use.use == Use::COPIED) warn(use.line, "string-copy", use.name);
            if (use.use == Use::COMPARED) warn(use.line, "string-compare", use.name);
            if (use.use == Use::READ && explained.count({use.name, use.line}) == 0) warn(use.line, "string-number", use.name);
        }
    }

private:
    // A token first on its line that can only begin a statement.
    static bool begins_statement_line(int at) {
        if (tokens[at - 1].line == tokens[at].line) return false;
        TokenType kind = tokens[at].type;
        if (kind == TOKEN_IDENTIFIER) return tokens[at + 1].type == TOKEN_ASSIGN;
        return kind == TOKEN_PRINT || kind == TOKEN_VAR || kind == TOKEN_IF || kind == TOKEN_WHILE ||
               kind == TOKEN_FOR || kind == TOKEN_ADN || kind == TOKEN_ADM ||
               find_procedure(kind, tokens[at].text) != nullptr;
    }

    struct NameUse {
        std::string name;
        int line;
        Use use;
    };
    bool package_;
    std::vector<NameUse> uses_;
    std::set<std::string> defined_;
    std::set<std::string> texts_;

    bool is_defined(const std::string& name) const {
        if (defined_.count(name) != 0) return true;
        const Procedure* rand = find_procedure(TOKEN_RAND, "rand");
        std::string numbered = result_name(*rand);  // __rand_ and the number of a slot
        return name.compare(0, numbered.size(), numbered) == 0 && defined_.count(numbered) != 0 &&
               name.find_first_not_of("0123456789", numbered.size()) == std::string::npos;
    }

    // A name that no statement declares or sets stops a run that reads it.
    void check_defined(const NameUse& use, bool names_may_come_from_packages) {
        if (use.use >= Use::DECLARED || names_may_come_from_packages) return;
        const char* name = use.name.c_str();
        std::string split_result = result_name(*find_procedure(TOKEN_SPLIT, "split"));
        bool defined = is_defined(use.name);
        if (!defined && package_) return warn(use.line, "unset-in-package", use.name);
        if (use.use == Use::ARRAY_ARGUMENT) {
            if (!defined) return add_error(use.line, "Undefined array: %s", name);
            if (use.name != split_result) return add_error(use.line, "Variable is not an array: %s", name);
        } else if (use.use == Use::STRING_ARGUMENT) {
            if (texts_.count(use.name) == 0) add_error(use.line, "Undefined variable or not a string: %s", name);
        } else if (!defined) {
            add_error(use.line, "Undefined variable: %s", name);
        }
    }

    void add_error(int line, const char* format, const char* name) {
        char message[256];
        std::snprintf(message, sizeof message, format, name);
        findings.push_back(Finding{line, true, message});
    }

    // A fault that a reserved word or a call in print makes, explained.
    void hint_at(const Fault& found) {
        const std::string& message = found.message;
        for (const char* form : {"Expected variable name (got '", "Expected expression (got '",
                                 "Unexpected token in print: '", "Unexpected token: "}) {
            if (message.compare(0, std::strlen(form), form) != 0) continue;
            std::string word = message.substr(std::strlen(form));
            if (!word.empty() && word.back() == ')') word.pop_back();
            if (!word.empty() && word.back() == '\'') word.pop_back();
            bool names_nothing = word != "else" && word != "function" && word != "return";
            if (is_keyword(word.c_str()) && names_nothing) warn(found.line, "reserved-name", word);
        }
        if (message == "Expected ',' between arguments (got '(')") warn(found.line, "print-call");
    }
};

// The traps that the tokens show: a header line where code stands, and rand
// in the body of a loop.
void check_tokens(TextCheck& check) {
    std::vector<bool> in_loop{false};  // for each open '{'
    bool loop_header = false;
    for (int at = 0; at < token_count; at++) {
        const Token& token = tokens[at];
        bool starts_line = at == 0 || tokens[at - 1].line != token.line;
        if (token.type == TOKEN_IDENTIFIER && std::strcmp(token.text, "sg") == 0 && starts_line &&
            tokens[at + 1].type == TOKEN_LT) {
            check.warn(token.line, "misplaced-header");
        }
        if (token.type == TOKEN_WHILE || token.type == TOKEN_FOR) loop_header = true;
        if (token.type == TOKEN_LBRACE) {
            in_loop.push_back(in_loop.back() || loop_header);
            loop_header = false;
        }
        if (token.type == TOKEN_RBRACE && in_loop.size() > 1) in_loop.pop_back();
        if ((token.type == TOKEN_RAND || token.type == TOKEN_RAND_RANGE) && in_loop.back()) {
            check.warn(token.line, "rand-in-loop");
        }
    }
}

// Names longer than the 63 characters a word keeps, outside strings and
// comments; `lines` counts the lines of the text as the tokenizer does.
void check_long_names(const std::string& text, TextCheck& check) {
    int line = 1;
    for (std::size_t at = 0; at < text.size(); at++) {
        char c = text[at];
        if (c == '\n') line++;
        if (c == '#') {
            while (at + 1 < text.size() && text[at + 1] != '\n') at++;
        } else if (c == '"') {
            while (++at < text.size() && text[at] != '"') at += text[at] == '\\';
        } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            std::size_t end = at;
            while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_')) end++;
            if (end - at > WORD_LIMIT) check.warn(line, "long-name", text.substr(at + WORD_LIMIT, end - at - WORD_LIMIT));
            at = end - 1;
        }
    }
}

bool installs_packages() {
    for (int at = 0; at + 2 < token_count; at++) {
        TokenType command = tokens[at + 2].type;
        if (tokens[at].type == TOKEN_ADN && (command == TOKEN_INSTALL || command == TOKEN_UPDATE)) return true;
    }
    return false;
}

// A header line without its '>' whose search for "nel" finds it on a later line.
bool nel_found_past_header(const char* header) {
    const char* line_end = std::strchr(header, '\n');
    const char* nel = std::strstr(header + 3, "nel");
    const char* close = std::strchr(header + 3, '>');
    return line_end != nullptr && nel != nullptr && nel > line_end && (close == nullptr || close > nel);
}

// Checks a source text as a run would read it; the lines are the run's.
void check_text(const std::string& source, TextCheck& check) {
    const char* header = find_header(source.c_str());
    if (header != nullptr && nel_found_past_header(header)) {
        check.warn(1 + static_cast<int>(std::count(source.c_str(), header, '\n')), "header-unclosed");
    }
    std::unique_ptr<char, decltype(&std::free)> text(strip_config(source.c_str()), &std::free);
    LexResult lexed = tokenize(text.get());
    if (!lexed.error.empty()) return check.findings.push_back(Finding{lexed.line, true, lexed.error});
    Compiler compiler(&check);
    compiler.program();
    check.check_names(installs_packages());
    check_tokens(check);
    check_long_names(text.get(), check);
}

}  // namespace

namespace {

bool is_package_path(const char* path) {
    const char* dot = std::strrchr(path, '.');
    return dot != nullptr && std::strcmp(dot, ".zep") == 0;
}

std::vector<Finding> check_script(const char* path) {
    TextCheck check(false);
    try {
        check_text(read_script_file(path), check);
    } catch (const ScriptError& failure) {
        check.findings.push_back(Finding{failure.line, true, failure.message});
    }
    return check.findings;
}

// The traps of the package file's own lines, by the file's line numbers.
void check_package_lines(const std::string& content, TextCheck& check) {
    constexpr std::size_t READ_LIMIT = 1023;
    std::size_t start = 0;
    for (int line = 1; start < content.size(); line++) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        std::string text = content.substr(start, end - start);
        if (text == "zentul:\r") check.warn(line, "crlf-package");
        if (text.compare(0, 8, "version:") == 0 && text.size() > 8 && text[8] != ' ') {
            check.warn(line, "version-blank", text.size() > 9 ? text.substr(9) : "");
        }
        if (text.size() > READ_LIMIT) check.warn(line, "long-line");
        start = end + 1;
    }
}

std::vector<Finding> check_package(const char* path) {
    TextCheck check(true);
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) return {Finding{1, true, std::string("Cannot open package file: ") + path}};
    std::vector<int> file_lines;
    std::string code = collect_code(file, &file_lines);
    std::rewind(file);
    std::string content;
    for (int c; (c = std::fgetc(file)) != EOF;) content += static_cast<char>(c);
    std::fclose(file);
    check_text(code, check);
    // The code's lines as a run numbers them (its header line cut out), and
    // the file's line of each.
    const char* header = find_header(code.c_str());
    int header_line = header == nullptr ? 0 : 1 + static_cast<int>(std::count(code.c_str(), header, '\n'));
    for (Finding& finding : check.findings) {
        int code_line = header_line > 0 && finding.line >= header_line ? finding.line + 1 : finding.line;
        int last = static_cast<int>(file_lines.size());
        if (last > 0) finding.line = file_lines[std::clamp(code_line, 1, last) - 1];
    }
    check_package_lines(content, check);
    return check.findings;
}

}  // namespace

int check_files(int count, char** paths) {
    int status = 0;
    for (int i = 0; i < count; i++) {
        std::vector<Finding> findings = is_package_path(paths[i]) ? check_package(paths[i]) : check_script(paths[i]);
        std::stable_sort(findings.begin(), findings.end(),
                         [](const Finding& a, const Finding& b) { return a.line < b.line; });
        std::set<std::pair<int, std::string>> printed;
        for (const Finding& finding : findings) {
            if (!printed.insert({finding.line, finding.message}).second) continue;
            std::printf("%s:%d: %s: %s\n", paths[i], finding.line, finding.error ? "error" : "warning",
                        finding.message.c_str());
            status = std::max(status, finding.error ? 2 : 1);
        }
    }
    return status;
}
