#pragma once

#include "lexer/token.h"

extern int current_token;  // index of the next token to be read
extern int current_line;   // line shown by `error`

// The slot of the variable each identifier token names, once found (-1 until
// then), so that loops re-reading a name skip the search. Slots never move.
extern int variable_slots[MAX_TOKENS];

// Starts reading a freshly tokenized table: the cursor on its first token,
// the line where the lexer left it, and no variable slot known.
void start_reading(int lexer_line);

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

// Requires a punctuation token, else stops with
// "Expected '<punctuation>' after <what> (got '<text>')".
void consume_after(TokenType type, const char* what);

// Stops with "<expectation> (got '<text of the token at the cursor>')".
[[noreturn]] void error_expected(const char* expectation);

// Stops with "Expected '<punctuation>' after <what> (got '<text>')".
[[noreturn]] void error_expected_after(TokenType type, const char* what);

// Stops with "Expected <kind> for <name>()", as a procedure does when an
// argument is missing.
[[noreturn]] void error_argument(const char* kind, const char* name);

// Expectation texts shared by several statements and expressions.
inline constexpr char EXPECTED_RPAREN[] = "Expected ')'";
inline constexpr char EXPECTED_COMMA_BETWEEN[] = "Expected ',' between arguments";
