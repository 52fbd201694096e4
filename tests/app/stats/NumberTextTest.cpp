#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "app/stats/KXNumberText.h"

namespace {

// Every power of ten a count or a sum can reach is written in decimal
// form with its fraction, never with an exponent.
TEST(NumberText, CountsBelowTenToTheSixteenthAreWrittenInDecimalForm) {
    std::string digits = "1";
    for (int exponent = 0; exponent <= 15; ++exponent) {
        EXPECT_EQ(shortestDoubleText(std::pow(10.0, exponent)), digits + ".0");
        EXPECT_EQ(shortestDoubleText(-std::pow(10.0, exponent)), "-" + digits + ".0");
        digits += '0';
    }
    EXPECT_EQ(shortestDoubleText(2000000), "2000000.0");
    // The largest double below 10^16, and one with all its digits used.
    EXPECT_EQ(shortestDoubleText(std::nextafter(1e16, 0.0)), "9999999999999998.0");
    EXPECT_EQ(shortestDoubleText(1234567890123.45), "1234567890123.45");
    // From 10^16 on the shortest form is left as it is.
    EXPECT_EQ(shortestDoubleText(1e16), "1e+16");
}

TEST(NumberText, FractionsAndZeroKeepTheirShortestExactForm) {
    EXPECT_EQ(shortestDoubleText(0), "0.0");
    EXPECT_EQ(shortestDoubleText(120), "120.0");
    EXPECT_EQ(shortestDoubleText(1234.5), "1234.5");
    EXPECT_EQ(shortestDoubleText(0.1), "0.1");
    EXPECT_EQ(shortestDoubleText(12.35), "12.35");
    EXPECT_EQ(shortestDoubleText(100000.01), "100000.01");
    EXPECT_EQ(shortestDoubleText(0.00001), "0.00001");
    // Every text reads back as the number it was written from.
    for (double value : {0.1, 12.35, 100000.01, 0.00001, 1234567890123.45, 5e-324}) {
        const std::string text = shortestDoubleText(value);
        EXPECT_EQ(text.find('e'), std::string::npos) << text;
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), value) << text;
    }
}

}  // namespace
