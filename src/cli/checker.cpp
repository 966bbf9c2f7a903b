#include "cli/checker.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "adn/package_file.h"
#include "builtins/procedures.h"
#include "cli/runner.h"
#include "cli/script_file.h"
#include "lexer/tokenizer.h"
#include "stmt/compiler.h"
#include "system/file_reading.h"

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

// A set of names (each NUL-terminated, standing in the compiled text) by
// open addressing: a check notes a name at nearly every other token, and
// noting must stay cheaper than compiling.
class NameSet {
public:
    void insert(const char* name) {
        if (2 * (count_ + 1) > slots_.size()) grow();
        const char*& slot = slots_[find(name)];
        if (slot == nullptr) count_++;
        slot = name;
    }
    bool contains(const char* name) const { return count_ > 0 && slots_[find(name)] != nullptr; }
    bool empty() const { return count_ == 0; }

private:
    std::vector<const char*> slots_;
    std::size_t count_ = 0;

    // The slot that holds the name, or the empty one where it would go.
    std::size_t find(const char* name) const {
        std::size_t hash = 2166136261u;
        for (const char* c = name; *c != '\0'; c++) hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
        std::size_t mask = slots_.size() - 1;
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            if (slots_[at] == nullptr || std::strcmp(slots_[at], name) == 0) return at;
        }
    }
    void grow() {
        std::vector<const char*> old(std::max<std::size_t>(256, 2 * slots_.size()));
        old.swap(slots_);
        for (const char* name : old) {
            if (name != nullptr) slots_[find(name)] = name;
        }
    }
};

// The findings of one text: the faults the compiler meets, and what the names
// it notes tell.
class TextCheck : public Findings {
public:
    explicit TextCheck(bool package) : package_(package) { uses_.reserve(MAX_TOKENS); }

    std::vector<Finding> findings;

    void fault(const Fault& found) override {
        findings.push_back(Finding{found.line, true, found.message});
        hint_at(found);
    }

    // Names point into the compiled text's own copy, which outlives the check.
    void name(const char* name, int line, Use use) override {
        if (use < Use::DECLARED) return uses_.push_back(NameUse{name, line, use});
        defined_.insert(name);
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
        if (!names_may_come_from_packages) {
            for (const NameUse& use : uses_) check_defined(use);
        }
        if (texts_.empty()) return;
        std::set<std::pair<std::string_view, int>> explained;  // reads reported as copies or comparisons
        for (const NameUse& use : uses_) {
            if (use.use == Use::COPIED || use.use == Use::COMPARED) explained.insert({use.name, use.line});
        }
        for (const NameUse& use : uses_) {
            if (!texts_.contains(use.name)) continue;
            const char* name = use.name;
            if (use.use == Use::COPIED) warn(use.line, "string-copy", name);
            if (use.use == Use::COMPARED) warn(use.line, "string-compare", name);
            if (use.use == Use::READ && explained.count({use.name, use.line}) == 0) warn(use.line, "string-number", name);
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
        const char* name;
        int line;
        Use use;
    };
    bool package_;
    std::vector<NameUse> uses_;
    NameSet defined_;
    NameSet texts_;
    // The names that rand's results take, and the one array.
    const std::string random_ = result_name(*find_procedure(TOKEN_RAND, "rand"));
    const std::string array_ = result_name(*find_procedure(TOKEN_SPLIT, "split"));

    bool is_defined(const char* name) const {
        if (defined_.contains(name)) return true;
        return std::strncmp(name, random_.c_str(), random_.size()) == 0 && defined_.contains(random_.c_str()) &&
               std::strspn(name + random_.size(), "0123456789") == std::strlen(name + random_.size());
    }

    // A name that no statement declares or sets stops a run that reads it.
    void check_defined(const NameUse& use) {
        const char* name = use.name;
        bool defined = is_defined(use.name);
        if (!defined && package_) return warn(use.line, "unset-in-package", name);
        if (use.use == Use::ARRAY_ARGUMENT) {
            if (!defined) return add_error(use.line, "Undefined array: %s", name);
            if (array_ != name) return add_error(use.line, "Variable is not an array: %s", name);
        } else if (use.use == Use::STRING_ARGUMENT) {
            if (!texts_.contains(use.name)) add_error(use.line, "Undefined variable or not a string: %s", name);
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
            if (keyword_type(word) != TOKEN_IDENTIFIER && names_nothing) warn(found.line, "reserved-name", word);
        }
        if (message == "Expected ',' between arguments (got '(')") warn(found.line, "print-call");
    }
};

// Kinds of token that the traps concern, the end among them.
using KindSet = std::array<unsigned char, TOKEN_MIRROR + 1>;  // 1 for a kind in the set

// The first token from `token` on whose kind is in `kinds`. Most tokens are
// not, so it passes them by four at a time while four stay before the end of
// the table.
const Token* next_of_kinds(const Token* token, const KindSet& kinds) {
    const Token* last_four = tokens + MAX_TOKENS - 4;
    while (token <= last_four &&
           !(kinds[token[0].type] | kinds[token[1].type] | kinds[token[2].type] | kinds[token[3].type])) {
        token += 4;
    }
    while (!kinds[token->type]) token++;
    return token;
}

// The traps that the tokens show: a header line where code stands, and rand
// in the body of a loop. Tells whether the text installs or updates packages.
bool check_tokens(TextCheck& check) {
    static const KindSet concerned = [] {
        KindSet kinds{};
        for (TokenType kind : {TOKEN_EOF, TOKEN_LT, TOKEN_ADN, TOKEN_WHILE, TOKEN_FOR, TOKEN_LBRACE, TOKEN_RBRACE,
                               TOKEN_RAND, TOKEN_RAND_RANGE}) {
            kinds[kind] = 1;
        }
        return kinds;
    }();
    bool installs = false;
    std::vector<char> in_loop{false};  // for each open '{'
    bool loop_header = false;
    for (const Token* token = tokens;; token++) {
        token = next_of_kinds(token, concerned);
        switch (token->type) {
            case TOKEN_EOF: return installs;
            case TOKEN_LT:
                if (token == tokens || token[-1].type != TOKEN_IDENTIFIER) break;
                if (std::strcmp(token[-1].text, "sg") == 0 && (token - 1 == tokens || token[-2].line != token[-1].line)) {
                    check.warn(token[-1].line, "misplaced-header");
                }
                break;
            case TOKEN_ADN:
                if (token[1].type != TOKEN_EOF && (token[2].type == TOKEN_INSTALL || token[2].type == TOKEN_UPDATE)) {
                    installs = true;
                }
                break;
            case TOKEN_WHILE:
            case TOKEN_FOR: loop_header = true; break;
            case TOKEN_LBRACE:
                in_loop.push_back(in_loop.back() || loop_header);
                loop_header = false;
                break;
            case TOKEN_RBRACE:
                if (in_loop.size() > 1) in_loop.pop_back();
                break;
            case TOKEN_RAND:
            case TOKEN_RAND_RANGE:
                if (in_loop.back()) check.warn(token->line, "rand-in-loop");
                break;
            default: break;
        }
    }
}

// Names longer than the 63 characters a word keeps, outside strings and
// comments.
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
    check.check_names(check_tokens(check));
    if (lexed.word_cut) check_long_names(text.get(), check);
}

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
    FileText file = read_file_text(path, PACKAGE_READ);
    if (file.outcome == ReadOutcome::TOO_LARGE) {
        return {Finding{1, true, std::string("Package file too large: ") + path}};
    }
    if (file.outcome != ReadOutcome::READ) return {Finding{1, true, std::string("Cannot open package file: ") + path}};
    std::vector<int> file_lines;
    std::string code = collect_code(file.text, &file_lines);
    const std::string& content = file.text;
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
