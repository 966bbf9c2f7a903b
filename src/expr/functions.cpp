#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/cursor.h"
#include "core/error.h"
#include "core/variables.h"
#include "expr/evaluate.h"
#include "expr/functions.h"

namespace {

double compute_abs(double number, const char*) { return std::fabs(number); }
double compute_sqrt(double number, const char*) { return std::sqrt(number); }
double compute_sin(double number, const char*) { return std::sin(number); }
double compute_cos(double number, const char*) { return std::cos(number); }
double compute_len(double, const char* text) { return static_cast<double>(std::strlen(text)); }
double compute_num(double, const char* text) { return std::atof(text); }

double compute_str(double number, const char*) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", number);
    store_string_result("__tmp_str_result", text);
    return 0;
}

// Looked up in this order.
const ExpressionFunction functions[] = {
    {"abs", Argument::EXPRESSION, compute_abs},
    {"sqrt", Argument::EXPRESSION, compute_sqrt},
    {"sin", Argument::EXPRESSION, compute_sin},
    {"cos", Argument::EXPRESSION, compute_cos},
    {"len", Argument::STRING_LITERAL, compute_len},
    {"num", Argument::STRING_LITERAL, compute_num},
    {"str", Argument::EXPRESSION, compute_str},
    {nullptr, Argument::EXPRESSION, nullptr},
};

}  // namespace

const ExpressionFunction* find_function(const char* name) {
    for (const ExpressionFunction* function = functions; function->name != nullptr; function++) {
        if (std::strcmp(function->name, name) == 0) return function;
    }
    return nullptr;
}

double parse_call(const char* name) {
    consume_after(TOKEN_LPAREN, "function name");
    const ExpressionFunction* function = find_function(name);
    if (function == nullptr) error("Undefined function: %s", name);
    double number = 0;
    const char* text = "";
    if (function->argument == Argument::EXPRESSION) {
        number = parse_logic_or();
    } else {
        text = peek().text;
        consume(TOKEN_STRING, "Expected string argument");
    }
    consume(TOKEN_RPAREN, EXPECTED_RPAREN);
    return function->compute(number, text);
}
