#include "core/numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::uint64_t EXACT_MANTISSA = std::uint64_t{1} << 53;  // every integer up to it is a double
constexpr int EXACT_POWER = 22;   // the largest power of ten that a double holds exactly
constexpr double powers_of_ten[EXACT_POWER + 1] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

bool is_digit(char c) { return static_cast<unsigned char>(c - '0') < 10; }
bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

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

// strtod on the text up to `end`, which it must not pass (texts hold at
// most 1023 characters).
[[gnu::noinline]] double read_in_general(const char* text, const char* end) {
    char copy[1024];
    std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(end - text), sizeof copy - 1);
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    return std::strtod(copy, nullptr);
}

}  // namespace

double read_any_number(const char* text, const char* end) {
    const char* at = text;
    bool negative = false;
    if (at < end && !is_digit(*at)) {  // blanks and a sign
        while (at < end && is_space(*at)) at++;
        negative = at < end && *at == '-';
        at += at < end && (*at == '-' || *at == '+');
    }
    std::uint64_t mantissa = 0;
    const char* first = at;
    for (; at < end && is_digit(*at); at++) mantissa = mantissa * 10 + static_cast<unsigned>(*at - '0');
    int whole_digits = static_cast<int>(at - first);
    int scale = 0;  // the power of ten of the last digit
    if (at < end && *at == '.') {
        const char* point = at++;
        for (; at < end && is_digit(*at); at++) mantissa = mantissa * 10 + static_cast<unsigned>(*at - '0');
        scale = static_cast<int>(point + 1 - at);
    }
    if (whole_digits - scale == 0) return at == first && at == end ? 0 : read_in_general(text, end);
    // Exact: at most 19 digits, which do not overflow, and a mantissa that a
    // double holds. strtod reads on after an exponent or the x of a
    // hexadecimal number.
    bool exact = whole_digits - scale <= 19 && mantissa <= EXACT_MANTISSA && scale >= -EXACT_POWER &&
                 !(at < end && ((*at | 0x20) == 'e' || (*at | 0x20) == 'x'));
    if (!exact) return read_in_general(text, end);
    auto whole = static_cast<double>(static_cast<std::int64_t>(mantissa));  // at most 2^53
    double value = scale < 0 ? whole / powers_of_ten[-scale] : whole;
    return negative ? -value : value;
}

double read_number(const char* text) { return read_number(text, text + std::strlen(text)); }

int format_number(double value, char* text) {
    int length = write_short_number(value, text);
    return length > 0 ? length : std::snprintf(text, NUMBER_TEXT_SIZE, "%g", value);
}
