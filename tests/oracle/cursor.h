#pragma once

#include "core/error.h"
#include "lexer/token.h"

namespace oracle {

extern int current_token;  // index of the next token to be read

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

// Stops with "<expectation> (got '<text of the token at the cursor>')".
[[noreturn]] inline void error_expected(const char* expectation) {
    error("%s (got '%s')", expectation, peek().text);
}

// Stops with "Expected '<punctuation>' after <what> (got '<text>')".
[[noreturn]] inline void error_expected_after(TokenType type, const char* what) {
    error("Expected '%c' after %s (got '%s')", punctuation_of(type), what, peek().text);
}

inline void consume(TokenType type, const char* expectation) {
    if (!match(type)) error_expected(expectation);
}

inline void consume_after(TokenType type, const char* what) {
    if (!match(type)) error_expected_after(type, what);
}

inline constexpr char EXPECTED_RPAREN[] = "Expected ')'";
inline constexpr char EXPECTED_COMMA_BETWEEN[] = "Expected ',' between arguments";

// The parts of the walker that the statements share.
double evaluate();
void execute_statement();
// A procedure statement named by the statement's first token, read and run
// up to its ')'; false when the token names no procedure.
bool execute_procedure(const Token& first);

extern int in_for_loop_update;

}  // namespace oracle
