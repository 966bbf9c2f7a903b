#include "core/numbers.h"

#include <cmath>
#include <cstdio>

int format_number(double value, char* text) {
    // Whole numbers below a million, the usual case, have no exponent and no
    // point in "%g": their digits are written here.
    if (value > -1000000 && value < 1000000 && value == static_cast<int>(value) && (value != 0 || !std::signbit(value))) {
        int whole = static_cast<int>(value);
        unsigned magnitude = whole < 0 ? 0u - static_cast<unsigned>(whole) : static_cast<unsigned>(whole);
        char digits[8];
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        int length = 0;
        if (whole < 0) text[length++] = '-';
        while (count > 0) text[length++] = digits[--count];
        text[length] = '\0';
        return length;
    }
    return std::snprintf(text, NUMBER_TEXT_SIZE, "%g", value);
}
