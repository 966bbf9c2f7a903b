#pragma once

#include "lexer/token.h"

extern int current_token;  // index of the next token to be read
extern int current_line;   // line shown by `error`

inline const Token& peek() { return tokens[current_token]; }

inline bool check(TokenType type) { return tokens[current_token].type == type; }

// Steps over the token without touching `current_line`.
inline const Token& advance() { return tokens[current_token++]; }

// Steps over a token that has been tested: its line becomes the current line.
inline void step_over() {
    int line = tokens[current_token].line;
    if (line > 0) current_line = line;
    current_token++;
}

inline bool match(TokenType type) {
    if (!check(type)) return false;
    step_over();
    return true;
}

// Requires a token of `type`, else stops with "<expectation> (got '<text>')".
void consume(TokenType type, const char* expectation);

// Stops with "<expectation> (got '<text of the token at the cursor>')".
[[noreturn]] void error_expected(const char* expectation);
