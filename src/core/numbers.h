#pragma once

// Room for any number in the "%g" form, with its NUL.
constexpr int NUMBER_TEXT_SIZE = 32;

// Writes the number as printf's "%g" does (at most six significant digits)
// and returns the length.
int format_number(double value, char* text);

// The number that the text from `text` to `end` begins with, as the standard
// strtod reads it: after white space, a sign, digits with a point and an
// exponent; 0 when none is there. Digits whose integer is at most 2^53 (any
// 15 of them), with a point at most 22 places from the end, are read exactly by
// integer arithmetic and one division (Clinger's fast path); anything else
// goes to strtod.
double read_number(const char* text, const char* end);
double read_number(const char* text);  // up to the NUL
