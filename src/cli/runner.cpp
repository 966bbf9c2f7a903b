#include "cli/runner.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "core/error.h"
#include "lexer/tokenizer.h"
#include "stmt/compiler.h"
#include "stmt/statements.h"

namespace {

using OwnedText = std::unique_ptr<char, decltype(&std::free)>;

}  // namespace

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

namespace {

char* allocate_text(std::size_t size) {
    char* text = static_cast<char*>(std::malloc(size));
    if (text == nullptr) fail(FaultCode::OUT_OF_MEMORY);
    return text;
}

}  // namespace

const char* find_nel(const char* header) {
    // Not bounded by the header's own line: without a '>' the search runs on.
    for (const char* p = header + 3; *p != '\0' && *p != '>'; p++) {
        if (std::strncmp(p, "nel", 3) == 0) return p;
    }
    return nullptr;
}

void parse_config(const char* source) {
    const char* header = find_header(source);
    print_newline = header == nullptr || find_nel(header) == nullptr ? 1 : 0;
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
    LexResult lexed = tokenize(text.get());
    if (lexed.fault) raise(*lexed.fault);
    run_tokens(lexed.line);
}
