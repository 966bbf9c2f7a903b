#pragma once

#include <string>
#include <string_view>

#include "lexer/token.h"

// How tokenizing ended: the last line counted (at a fault, the fault's line)
// and, when the text could not be tokenized, why.
struct LexResult {
    int line;
    std::string error;  // empty when the whole text was tokenized
    bool word_cut = false;  // a word ran on past the characters it keeps
};

// Fills `tokens` from a NUL-terminated source text, ending with a TOKEN_EOF
// token.
LexResult tokenize(const char* source);

// The kind of a reserved word, or TOKEN_IDENTIFIER for any other word.
TokenType keyword_type(std::string_view word);
