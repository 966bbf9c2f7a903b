#pragma once

struct Variable;

// Gives a declared variable its value: the string literal's text when there
// is one, else the number.
void set_declared_value(Variable* variable, const char* text, double number);

// 1 while `print` ends its output with a line feed; the script's header line
// can turn it off.
extern int print_newline;
