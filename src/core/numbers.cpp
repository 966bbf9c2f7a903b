#include "core/numbers.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// Writes the digits of `value` ending just before `end`, at least `width`
// of them; returns where they start.
char* digits_before(char* end, std::uint32_t value, int width) {
    do {
        *--end = static_cast<char>('0' + value % 10);
        value /= 10;
        width--;
    } while (value != 0 || width > 0);
    return end;
}

// Sixteenths below a million (whole numbers, halves, quarters...) have an
// exact decimal form of at most four places; when it has six significant
// digits or fewer, that form is what "%g" writes. Returns 0 for any other
// number.
int write_short_number(double value, char* text) {
    double sixteenths = value * 16;
    if (!(sixteenths > -16000000.0 && sixteenths < 16000000.0)) return 0;
    auto count = static_cast<std::int32_t>(sixteenths);
    if (count != sixteenths || (count == 0 && std::signbit(value))) return 0;
    std::uint32_t magnitude = count < 0 ? 0u - static_cast<std::uint32_t>(count) : static_cast<std::uint32_t>(count);
    std::uint32_t whole = magnitude >> 4;
    std::uint32_t fraction = (magnitude & 15) * 625;  // ten-thousandths
    char buffer[16];
    char* end = buffer + sizeof buffer;
    char* start = end;
    if (fraction != 0) {
        int places = 4;
        for (; fraction % 10 == 0; fraction /= 10) places--;
        start = digits_before(end, fraction, places);
        *--start = '.';
    }
    char* whole_start = digits_before(start, whole, 1);
    std::size_t fraction_digits = static_cast<std::size_t>(end - start) - (fraction != 0);
    std::size_t whole_digits = static_cast<std::size_t>(start - whole_start);
    // "%g" keeps six significant digits; below 1 they start after the zeros.
    std::size_t significant = whole != 0 ? whole_digits + fraction_digits : 0;
    if (whole == 0 && fraction != 0) {
        const char* first = start + 1;
        while (*first == '0') first++;
        significant = static_cast<std::size_t>(end - first);
    }
    if (significant > 6) return 0;
    int length = 0;
    if (count < 0) text[length++] = '-';
    std::memcpy(text + length, whole_start, static_cast<std::size_t>(end - whole_start));
    length += static_cast<int>(end - whole_start);
    text[length] = '\0';
    return length;
}

}  // namespace

int format_number(double value, char* text) {
    int length = write_short_number(value, text);
    return length > 0 ? length : std::snprintf(text, NUMBER_TEXT_SIZE, "%g", value);
}
