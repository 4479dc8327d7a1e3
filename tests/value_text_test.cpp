// The text of packed values: the standard "%+.4E" form, ties away from zero.
#include "datalog/value_text/value_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "datalog_writer.h"

namespace {

std::string text_of(double value) {
    const std::string chars = datalog_writer::encode_packed_value(value);
    char out[datalog::value_text_length];
    datalog::format_packed(chars.data(), out);
    return std::string(out, sizeof out);
}

struct example {
    double value;
    const char* text;
};

TEST(ValueText, PrintsTheStandardFormWithTiesAwayFromZero) {
    const example examples[] = {
        {0.0, "+0.0000E+00"},
        {-0.0, "-0.0000E+00"},
        {1.0, "+1.0000E+00"},
        {-0.25, "-2.5000E-01"},
        {1.03125, "+1.0313E+00"},   // tie: glibc's printf gives +1.0312E+00
        {-1.03125, "-1.0313E+00"},  // a negative tie goes away from zero too
        {12344.5, "+1.2345E+04"},   // tie: glibc gives +1.2344E+04
        {9.5, "+9.5000E+00"},
        {99999.5, "+1.0000E+05"},  // a tie that carries into the exponent
        {99999.25, "+9.9999E+04"},
        {15.999999046325684, "+1.6000E+01"},
        {0.00390625, "+3.9063E-03"},                  // 1/256, the smallest tie below one
        {std::ldexp(1.0, -88), "+3.2312E-27"},        // smallest packed magnitude
        {std::ldexp(16777215.0, 39), "+9.2234E+18"},  // largest packed magnitude
    };
    for (const example& e : examples) EXPECT_EQ(text_of(e.value), e.text) << e.value;
}

TEST(ValueText, UnnormalisedFractionsGiveTheSameText) {
    // 1.0 as 0x800000 * 2^-23 and as 1 * 2^-0 (fraction 1 at exponent 24), and
    // zero fractions at every exponent.
    char normal[11], shifted[11];
    datalog::format_fraction(false, 0x800000, 1, normal);
    datalog::format_fraction(false, 1, 24, shifted);
    EXPECT_EQ(std::string(normal, 11), std::string(shifted, 11));
    for (int exponent = -64; exponent <= 63; ++exponent) {
        datalog::format_fraction(true, 0, exponent, normal);
        EXPECT_EQ(std::string(normal, 11), "-0.0000E+00") << exponent;
    }
}

}  // namespace
