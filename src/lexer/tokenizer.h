#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/faults.h"
#include "lexer/token.h"

// How tokenizing ended: the last line counted (at a fault, its line), the
// fault, and the tokens holding the rest of a word cut after 63 characters.
struct LexResult {
    int line;
    std::optional<Fault> fault;
    std::vector<int> cut_words;
};

// Fills `tokens` from a NUL-terminated source text, ending with a TOKEN_EOF
// token.
LexResult tokenize(const char* source);

// The kind of a reserved word, or TOKEN_IDENTIFIER for any other word.
TokenType keyword_type(std::string_view word);
