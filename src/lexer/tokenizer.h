#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/faults.h"
#include "lexer/token.h"

// How tokenizing ended: the last line counted (at a fault, the fault's line),
// the fault when the text could not be tokenized, and the tokens that hold
// the rest of a word cut after the characters a word keeps.
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
