#include "datalog/value_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "reference_format.h"

namespace {

std::string format(double value) {
    char text[datalog::value_text_capacity];
    return std::string(text, datalog::format_value(value, text));
}

struct example {
    double value;
    const char* text;
};

TEST(ValueFormat, PrintsTheStandardFormWithTiesAwayFromZero) {
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
        {1e100, "+1.0000E+100"},                      // three exponent digits
        {-1.2345e-200, "-1.2345E-200"},
        {std::numeric_limits<double>::denorm_min(), "+4.9407E-324"},
        {std::numeric_limits<double>::max(), "+1.7977E+308"},
        {0.1, "+1.0000E-01"},
        {std::numeric_limits<double>::infinity(), "+INF"},
        {-std::numeric_limits<double>::infinity(), "-INF"},
    };
    for (const example& e : examples) EXPECT_EQ(format(e.value), e.text) << e.value;
    EXPECT_EQ(format(std::nan("")), "+NAN");
}

TEST(ValueFormat, AgreesWithTheExactReferenceOnDoublesOfEveryKind) {
    // Mostly the wide path: full 53-bit significands, subnormals, huge and tiny
    // exponents, drawn from a fixed generator.
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 3000; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        double value;
        std::memcpy(&value, &state, sizeof value);
        if (std::isnan(value)) continue;
        ASSERT_EQ(format(value), reference_format(value, 800)) << std::hexfloat << value;
    }
}

}  // namespace

#include "datalog/uint128.h"

namespace {

TEST(ValueFormat, PortableProductMatchesTheNativeOne) {
    // The 32-bit build uses the portable product; check it where both exist.
    std::uint64_t a = 0x0123456789ABCDEFull, b = 0xFEDCBA9876543210ull;
    for (int i = 0; i < 100000; ++i) {
        a = a * 6364136223846793005ull + 1442695040888963407ull;
        b ^= b << 13;
        b ^= b >> 7;
        b ^= b << 17;
        for (const std::uint64_t x : {a, a >> 40, std::uint64_t{~0ull}}) {
            const datalog::uint128 portable = datalog::multiply_64x64_portable(x, b);
            const datalog::uint128 native = datalog::multiply_64x64(x, b);
            ASSERT_EQ(portable.high, native.high);
            ASSERT_EQ(portable.low, native.low);
        }
    }
}

}  // namespace
