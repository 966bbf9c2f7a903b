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
    } while (--width > 0 || value != 0);
    return end;
}

int digit_count(std::uint32_t value) {
    char digits[16];
    return static_cast<int>(digits + sizeof digits - digits_before(digits + sizeof digits, value, 0));
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
    int places = fraction == 0 ? 0 : 4;
    for (; places > 0 && fraction % 10 == 0; places--) fraction /= 10;
    if ((whole != 0 ? digit_count(whole) + places : digit_count(fraction)) > 6) return 0;
    char buffer[16];
    char* end = buffer + sizeof buffer;
    char* start = places > 0 ? digits_before(end, fraction, places) - 1 : end;
    if (places > 0) *start = '.';
    start = digits_before(start, whole, 1);
    if (count < 0) *--start = '-';
    int length = static_cast<int>(end - start);
    std::memcpy(text, start, static_cast<std::size_t>(length));
    text[length] = '\0';
    return length;
}

}  // namespace

int format_number(double value, char* text) {
    int length = write_short_number(value, text);
    return length > 0 ? length : std::snprintf(text, NUMBER_TEXT_SIZE, "%g", value);
}
