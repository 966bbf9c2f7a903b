#pragma once

// Room for any number in the "%g" form, with its NUL.
constexpr int NUMBER_TEXT_SIZE = 32;

// Writes the number as printf's "%g" does (at most six significant digits)
// and returns the length.
int format_number(double value, char* text);
