#include "core/cursor.h"

#include <algorithm>

#include "core/error.h"

int current_token = 0;
int current_line = 1;
int variable_slots[MAX_TOKENS];

void start_reading(int lexer_line) {
    current_token = 0;
    current_line = lexer_line;
    std::fill(variable_slots, variable_slots + token_count, -1);
}

void consume(TokenType type, const char* expectation) {
    if (!match(type)) error_expected(expectation);
}

void consume_after(TokenType type, const char* what) {
    if (!match(type)) error_expected_after(type, what);
}

void error_expected(const char* expectation) {
    error("%s (got '%s')", expectation, peek().text);
}

void error_expected_after(TokenType type, const char* what) {
    error("Expected '%c' after %s (got '%s')", punctuation_of(type), what, peek().text);
}

void error_argument(const char* kind, const char* name) {
    error("Expected %s for %s()", kind, name);
}
