#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
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
