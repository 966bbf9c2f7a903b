#pragma once

// The argument forms shared by the built-in procedures.

// A string argument: a string literal, or an identifier naming a string
// variable (looked up at once). Any other token stops the script with
// "Expected <kind> for <name>()". The text is the token's or the variable's
// own, so a later store into that variable changes it.
const char* read_string_argument(const char* kind, const char* name);

// A string literal operand; any other token stops with
// "Expected string argument for <what>".
const char* read_string_literal(const char* what);

// A numeric argument: a whole expression, converted to int.
int read_int_argument();

// Truncates toward zero, clamped to the int range; NaN gives 0.
int truncate_to_int(double value);
