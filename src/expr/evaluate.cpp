#include "expr/evaluate.h"

#include <cmath>

#include "core/cursor.h"
#include "core/error.h"
#include "core/variables.h"
#include "expr/compile.h"

namespace {

bool is_comparison(TokenType type) {
    return type == TOKEN_EQ || type == TOKEN_NE || type == TOKEN_GT || type == TOKEN_LT ||
           type == TOKEN_GE || type == TOKEN_LE;
}

double compare(TokenType op, double a, double b) {
    switch (op) {
        case TOKEN_EQ: return a == b;
        case TOKEN_NE: return a != b;
        case TOKEN_GT: return a > b;
        case TOKEN_LT: return a < b;
        case TOKEN_GE: return a >= b;
        default: return a <= b;
    }
}

double divide(double a, double b) {
    if (b == 0) error("Division by zero");
    return a / b;
}

double modulo(double a, double b) {
    if (b == 0) error("Modulo by zero");
    return std::fmod(a, b);
}

double variable_value(int index) {
    Variable* variable = find_variable_at(index);
    if (variable == nullptr) error("Undefined variable: %s", tokens[index].text);
    return variable->number;
}

}  // namespace

double evaluate() {
    if (const CompiledExpression* compiled = compiled_expressions.at(current_token, compile_expression)) {
        return compiled->run();
    }
    return parse_logic_or();
}

// Neither logical operator short-circuits: both sides are always evaluated.
double parse_logic_or() {
    double value = parse_logic_and();
    while (match(TOKEN_OR)) {
        double right = parse_logic_and();
        value = is_true(value) || is_true(right);
    }
    return value;
}

double parse_logic_and() {
    double value = parse_comparison();
    while (match(TOKEN_AND)) {
        double right = parse_comparison();
        value = is_true(value) && is_true(right);
    }
    return value;
}

double parse_comparison() {
    double value = parse_term();
    while (is_comparison(peek().type)) {
        TokenType op = peek().type;
        step_over();
        value = compare(op, value, parse_term());
    }
    return value;
}

double parse_term() {
    double value = parse_factor();
    for (;;) {
        if (match(TOKEN_PLUS)) {
            value += parse_factor();
        } else if (match(TOKEN_MINUS)) {
            value -= parse_factor();
        } else {
            return value;
        }
    }
}

double parse_factor() {
    double value = parse_unary();
    for (;;) {
        if (match(TOKEN_MULTIPLY)) {
            value *= parse_unary();
        } else if (match(TOKEN_DIVIDE)) {
            value = divide(value, parse_unary());
        } else if (match(TOKEN_MODULO)) {
            value = modulo(value, parse_unary());
        } else {
            return value;
        }
    }
}

double parse_unary() {
    if (match(TOKEN_MINUS)) return -parse_unary();
    if (match(TOKEN_NOT)) return parse_unary() == 0 ? 1.0 : 0.0;
    return parse_primary();
}

double parse_primary() {
    int index = current_token;
    switch (tokens[index].type) {
        case TOKEN_NUMBER:
            step_over();
            return token_facts[index].number;
        case TOKEN_IDENTIFIER:
            step_over();
            if (check(TOKEN_LPAREN)) return parse_call(tokens[index].text);
            return variable_value(index);
        case TOKEN_LPAREN: {
            step_over();
            double value = parse_logic_or();
            consume(TOKEN_RPAREN, EXPECTED_RPAREN);
            return value;
        }
        case TOKEN_STRING:
            step_over();
            error("Cannot use string in expression");
        default:
            error("Expected expression (got '%s')", tokens[index].text);
    }
}
