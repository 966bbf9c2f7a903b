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

// Stops with the fault of a code whose last argument is the text of the
// token at the cursor ("... (got '<text>')").
template <typename... Arguments>
[[noreturn]] void fail_expected(FaultCode code, const Arguments&... arguments) {
    fail(code, arguments..., peek().text);
}

// Stops with "Expected '<punctuation>' after <what> (got '<text>')".
[[noreturn]] inline void fail_expected_after(TokenType type, const char* what) {
    fail_expected(FaultCode::EXPECTED_AFTER, punctuation_of(type), what);
}

inline void consume(TokenType type, FaultCode expectation) {
    if (!match(type)) fail_expected(expectation);
}

inline void consume_after(TokenType type, const char* what) {
    if (!match(type)) fail_expected_after(type, what);
}

// The parts of the walker that the statements share.
double evaluate();
void execute_statement();
// A procedure statement named by the statement's first token, read and run
// up to its ')'; false when the token names no procedure.
bool execute_procedure(const Token& first);

extern int in_for_loop_update;

}  // namespace oracle
