#pragma once

// The functions an expression can call: abs, sqrt, sin, cos, len, num, str.
enum class Argument { EXPRESSION, STRING_LITERAL };

struct ExpressionFunction {
    const char* name;
    Argument argument;
    // The value of a call; `number` is an expression argument's value, `text`
    // a literal argument's text. str also stores its text as a result, which
    // fails at `line` when the variable table is full.
    double (*compute)(double number, const char* text, int line);
    const char* result = nullptr;  // the text variable it sets
};

// The function of that name, or null.
const ExpressionFunction* find_function(const char* name);

// Whether a function stores its text in the variable of that name.
bool is_function_result(const char* name);
