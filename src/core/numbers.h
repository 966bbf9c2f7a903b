#pragma once

#include <cstdint>

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
double read_any_number(const char* text, const char* end);
double read_number(const char* text);  // up to the NUL

// The same, with whole numbers of up to 15 digits, the most common, read in
// place.
inline double read_number(const char* text, const char* end) {
    if (end > text && end - text <= 15) {
        std::int64_t whole = 0;
        const char* at = text;
        for (; at < end && static_cast<unsigned char>(*at - '0') < 10; at++) whole = whole * 10 + (*at - '0');
        if (at == end) return static_cast<double>(whole);
    }
    return read_any_number(text, end);
}
