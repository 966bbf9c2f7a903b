#include "builtins/arguments.h"

#include <climits>
#include <cmath>

#include "core/cursor.h"
#include "core/error.h"
#include "core/variables.h"
#include "expr/evaluate.h"

const char* read_string_argument(const char* kind, const char* name) {
    int index = current_token;
    const Token& token = tokens[index];
    if (token.type == TOKEN_STRING) {
        step_over();
        return token.text;
    }
    if (token.type != TOKEN_IDENTIFIER) error_argument(kind, name);
    step_over();
    Variable* variable = find_variable_at(index);
    if (variable == nullptr || !variable->is_string) error("Undefined variable or not a string: %s", token.text);
    return variable->string;
}

const char* read_string_literal(const char* what) {
    const Token& token = peek();
    if (token.type != TOKEN_STRING) error("Expected string argument for %s", what);
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
