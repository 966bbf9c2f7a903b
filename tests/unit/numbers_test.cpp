#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <random>
#include <string>

#include "core/numbers.h"

namespace {

std::string formatted(double value) {
    char text[NUMBER_TEXT_SIZE];
    int length = format_number(value, text);
    EXPECT_EQ(length, static_cast<int>(std::string(text).size()));
    return text;
}

std::string printf_g(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

// The short way for whole numbers and sixteenths must write what "%g" does,
// at the edges of six significant digits, a million, signs and zeros.
TEST(NumberFormat, WritesWhatPrintfWrites) {
    const double edges[] = {0.0,      -0.0,     1e6,       -1e6,      999999,   999999.5, 99999.5,  99999.0625,
                            12345.5,  123456.5, 0.0625,    -0.0625,   0.5,      1e-5,     0.0001,   1.0 / 3,
                            1e300,    -1e-300,  INFINITY,  -INFINITY, NAN,      2e9,      -2147483648.0};
    for (double value : edges) EXPECT_EQ(formatted(value), printf_g(value)) << value;
    for (int step = -3000000; step <= 3000000; step += 97) {
        EXPECT_EQ(formatted(step / 16.0), printf_g(step / 16.0)) << step;
        EXPECT_EQ(formatted(step / 10.0), printf_g(step / 10.0)) << step;
    }
}

// The reader must give what strtod gives, bit for bit, on a million fields:
// numbers of up to 26 digits at every scale, with signs, blanks and
// exponents, and texts of pieces that strtod reads its own way.
TEST(NumberReading, GivesWhatStrtodGives) {
    std::mt19937 random(29);
    const char* const pieces[] = {"0", "7", "12", ".", "-", "+", " ", "\t", "e", "E5", "e-3", "x", "0x1f", "inf", "nan", "a"};
    for (int field = 0; field < 1000000; field++) {
        std::string text = random() % 4 == 0 ? " " : "";
        if (field % 4 != 0) {
            text += "+-"[random() % 2] + std::string(random() % 9, '0');
            for (unsigned digits = random() % 19; digits > 0; digits--) text += static_cast<char>('0' + random() % 10);
            text.insert(text.begin() + 1 + random() % text.size(), '.');
            if (random() % 8 == 0) text += "e" + std::to_string(static_cast<int>(random() % 60) - 30);
        } else {
            for (unsigned count = random() % 8; count > 0; count--) text += pieces[random() % std::size(pieces)];
        }
        double expected = std::strtod(text.c_str(), nullptr);
        double got = field % 2 == 0 ? read_number(text.data(), text.data() + text.size())
                                    : read_any_number(text.data(), text.data() + text.size());
        ASSERT_TRUE(std::memcmp(&expected, &got, sizeof got) == 0 || (std::isnan(expected) && std::isnan(got)))
            << "'" << text << "': " << expected << " and " << got;
    }
}
