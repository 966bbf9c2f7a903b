#include "core/cursor.h"

#include "core/error.h"

int current_token = 0;
int current_line = 1;

void consume(TokenType type, const char* expectation) {
    if (!match(type)) error_expected(expectation);
}

void error_expected(const char* expectation) {
    error("%s (got '%s')", expectation, peek().text);
}
