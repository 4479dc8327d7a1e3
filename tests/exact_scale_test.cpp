// The exact integer scaling, which the formatter takes only near a tie.
#include "datalog/value_text/exact_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "datalog/value_text/digit_text.h"
#include "datalog/value_text/value_text.h"
#include "reference_format.h"

namespace {

// Checked on its own over random values of every binary exponent.
TEST(ExactScale, RoundsRandomValuesOfEveryBinaryExponent) {
    std::mt19937_64 rng(7);
    long failures = 0;
    for (int k = datalog::min_scale_k; k <= datalog::max_scale_k; ++k) {
        for (int i = 0; i < 4000; ++i) {
            const auto m = static_cast<std::uint32_t>((rng() & 0x7FFFFF) | 0x800000);
            const datalog::five_digits d = datalog::scale_exactly(m, k);
            char text[datalog::value_text_length];
            datalog::write_value_text(text, false, d.digits, d.exponent);
            const std::string got(text, sizeof text);
            const std::string want = reference_format(std::ldexp(static_cast<double>(m), k));
            if (got != want && ++failures <= 5) ADD_FAILURE() << m << " * 2^" << k << ": " << got;
        }
    }
    EXPECT_EQ(failures, 0);
}

}  // namespace
