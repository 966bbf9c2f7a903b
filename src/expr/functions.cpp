#include "expr/functions.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/numbers.h"
#include "core/variables.h"

namespace {

double compute_abs(double number, const char*, int) { return std::fabs(number); }
double compute_sqrt(double number, const char*, int) { return std::sqrt(number); }
double compute_sin(double number, const char*, int) { return std::sin(number); }
double compute_cos(double number, const char*, int) { return std::cos(number); }
double compute_len(double, const char* text, int) { return static_cast<double>(std::strlen(text)); }
double compute_num(double, const char* text, int) { return read_number(text); }

constexpr char STR_RESULT[] = "__tmp_str_result";

double compute_str(double number, const char*, int line) {
    char text[NUMBER_TEXT_SIZE];
    format_number(number, text);
    store_string_result(NameRef{STR_RESULT, line}, text);
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
    {"str", Argument::EXPRESSION, compute_str, STR_RESULT},
    {nullptr, Argument::EXPRESSION, nullptr},
};

}  // namespace

const ExpressionFunction* find_function(const char* name) {
    for (const ExpressionFunction* function = functions; function->name != nullptr; function++) {
        if (std::strcmp(function->name, name) == 0) return function;
    }
    return nullptr;
}

bool is_function_result(const char* name) {
    for (const ExpressionFunction* function = functions; function->name != nullptr; function++) {
        if (function->result != nullptr && std::strcmp(function->result, name) == 0) return true;
    }
    return false;
}
