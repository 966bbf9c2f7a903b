#include "builtins/arguments.h"

#include <climits>
#include <cmath>

#include "core/cursor.h"
#include "core/error.h"
#include "core/variables.h"
#include "expr/evaluate.h"

const char* read_string_argument(const char* expectation) {
    const Token& token = peek();
    if (token.type == TOKEN_STRING) {
        step_over();
        return token.text;
    }
    if (token.type != TOKEN_IDENTIFIER) error("%s", expectation);
    step_over();
    Variable* variable = find_string_variable(token.text);
    if (variable == nullptr) error("Undefined variable or not a string: %s", token.text);
    return variable->string;
}

const char* read_string_literal(const char* expectation) {
    const Token& token = peek();
    if (token.type != TOKEN_STRING) error("%s", expectation);
    step_over();
    return token.text;
}

int read_int_argument() { return truncate_to_int(evaluate()); }

int truncate_to_int(double value) {
    if (std::isnan(value)) return 0;
    if (value <= INT_MIN) return INT_MIN;
    if (value >= INT_MAX) return INT_MAX;
    return static_cast<int>(value);
}
