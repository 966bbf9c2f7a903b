#include "stmt/runner.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "adn/package_file.h"
#include "core/cursor.h"
#include "core/error.h"
#include "core/saved_prefix.h"
#include "expr/compile.h"
#include "lexer/tokenizer.h"
#include "stmt/compile.h"
#include "stmt/statements.h"

namespace {

using OwnedText = std::unique_ptr<char, decltype(&std::free)>;

int active_runs = 0;

// The tables a run fills for its tokens, saved whole.
struct SavedTables {
    SavedPrefix<Token> tokens_{tokens, token_count};
    SavedPrefix<TokenFacts> facts_{token_facts, token_count};
    SavedPrefix<char> texts_{token_texts, token_texts_used};
    SavedPrefix<int> slots_{variable_slots, token_count};
    CompiledTable<CompiledExpression>::Saved expressions_{compiled_expressions, token_count};
    CompiledTable<CompiledStatement>::Saved statements_{compiled_statements, token_count};
    int count_ = token_count;
    int texts_used_ = token_texts_used;
    int current_ = current_token;
    ~SavedTables() {
        token_count = count_;
        token_texts_used = texts_used_;
        current_token = current_;
    }
};

void forget_compiled_code() {
    compiled_expressions.forget(token_count);
    compiled_statements.forget(token_count);
}

// A run started while another is executing (package code run by a script)
// shares the token tables; the outer run's tables and cursor are put back
// when the inner run ends, however it ends. Each run starts and ends with no
// compiled code, which belongs to its own tokens.
class TokenTableGuard {
public:
    TokenTableGuard() {
        if (active_runs++ > 0) saved_ = std::make_unique<SavedTables>();
        forget_compiled_code();
    }
    ~TokenTableGuard() {
        forget_compiled_code();
        saved_.reset();
        active_runs--;
    }
    TokenTableGuard(const TokenTableGuard&) = delete;
    TokenTableGuard& operator=(const TokenTableGuard&) = delete;

private:
    std::unique_ptr<SavedTables> saved_;
};

// Where the header line starts, or null: it may follow blanks and comment
// lines, but nothing else.
const char* find_header(const char* source) {
    const char* p = source;
    for (;;) {
        while (*p == ' ' || *p == '\t' || *p == '\r') p++;
        if (*p != '#') break;
        while (*p != '\n' && *p != '\0') p++;
        if (*p == '\n') p++;
    }
    return std::strncmp(p, "sg<", 3) == 0 ? p : nullptr;
}

char* allocate_text(std::size_t size) {
    char* text = static_cast<char*>(std::malloc(size));
    if (text == nullptr) error("Out of memory");
    return text;
}

}  // namespace

void parse_config(const char* source) {
    print_newline = 1;
    const char* header = find_header(source);
    if (header == nullptr) return;
    // Not bounded by the header's own line: without a '>' the search runs on.
    for (const char* p = header + 3; *p != '\0' && *p != '>'; p++) {
        if (std::strncmp(p, "nel", 3) == 0) {
            print_newline = 0;
            return;
        }
    }
}

char* strip_config(const char* source) {
    std::size_t length = std::strlen(source);
    const char* header = find_header(source);
    if (header == nullptr) {
        char* copy = allocate_text(length + 1);
        std::memcpy(copy, source, length + 1);
        return copy;
    }
    const char* line_end = std::strchr(header, '\n');
    const char* rest = line_end != nullptr ? line_end + 1 : source + length;
    std::size_t before = static_cast<std::size_t>(header - source);
    std::size_t after = std::strlen(rest);
    char* text = allocate_text(before + after + 1);
    std::memcpy(text, source, before);
    std::memcpy(text + before, rest, after + 1);
    return text;
}

void run(const char* source) {
    static bool rand_seeded = false;
    if (!rand_seeded) {
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        rand_seeded = true;
    }
    parse_config(source);
    OwnedText text(strip_config(source), &std::free);
    TokenTableGuard guard;
    LexResult lexed = tokenize(text.get());
    start_reading(lexed.line);
    if (!lexed.error.empty()) error("%s", lexed.error.c_str());
    in_for_loop_update = 0;
    while (!check(TOKEN_EOF)) execute_statement();
}

void run_package_code(const char* code) { run(code); }
