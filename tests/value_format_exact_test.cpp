// The formatter against an independent exact computation over millions of
// packed values: every exponent, both signs, random and edge fractions, the
// values around every power of ten, and every exact tie a packed value can be.
//
// DATALOG_EXACT_SCALE (default 1) multiplies the number of random fractions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "datalog/value_format.h"
#include "datalog_writer.h"
#include "packed_ties.h"
#include "reference_format.h"
#include "vector_paths.h"

namespace {

// value = fraction / 2^24 * 2^exponent, as a packed value decodes.
double packed(bool negative, int exponent, std::uint32_t fraction) {
    const double magnitude = std::ldexp(static_cast<double>(fraction), exponent - 24);
    return negative ? -magnitude : magnitude;
}

std::string format(double value) {
    char text[datalog::value_text_capacity];
    return std::string(text, datalog::format_value(value, text));
}

// Checks every value on two threads, through the scalar formatter and through
// each vector path this processor runs (as packed values, 16 to a record);
// returns the number of mismatches and reports the first few.
long check_all(const std::vector<double>& values) {
    const std::vector<vector_path> paths = available_vector_paths();
    std::vector<long> failures(2, 0);
    std::vector<std::thread> workers;
    for (int w = 0; w < 2; ++w) {
        workers.emplace_back([&, w] {
            for (std::size_t block = 16 * w; block < values.size(); block += 32) {
                const std::size_t count = std::min<std::size_t>(16, values.size() - block);
                std::string chars;
                for (std::size_t i = 0; i < 16; ++i)
                    chars += datalog_writer::encode_packed_value(i < count ? values[block + i] : 0);
                std::vector<std::string> texts;
                for (const vector_path& path : paths) texts.push_back(path.format(chars));
                for (std::size_t i = 0; i < count; ++i) {
                    const double value = values[block + i];
                    const std::string want = reference_format(value);
                    std::string got = format(value);
                    for (std::size_t p = 0; p < paths.size(); ++p) {
                        const std::string vector_text = texts[p].substr(13 * i + 2, 11);
                        if (vector_text != want)
                            got += std::string(" ") + paths[p].name + " " + vector_text;
                    }
                    if (got != want && ++failures[w] <= 5)
                        ADD_FAILURE() << std::hexfloat << value << ": " << got << " != " << want;
                }
            }
        });
    }
    for (auto& worker : workers) worker.join();
    return failures[0] + failures[1];
}

long scale() {
    const char* text = std::getenv("DATALOG_EXACT_SCALE");
    return text != nullptr ? std::atol(text) : 1;
}

TEST(ValueFormatExact, RandomAndEdgeFractionsAtEveryExponent) {
    std::mt19937_64 rng(20261207);
    const long random_per_exponent = 16000 * scale();
    const std::uint32_t edges[] = {1,        2,        3,        0x000FFF, 0x100000,
                                   0x7FFFFF, 0x800000, 0x800001, 0xAAAAAA, 0x555555,
                                   0xFFFFFE, 0xFFFFFF, 0xCCCCCD, 0x199999, 0x19999A};
    std::vector<double> values;
    for (int exponent = -64; exponent <= 63; ++exponent) {
        for (const bool negative : {false, true}) {
            for (const std::uint32_t fraction : edges)
                values.push_back(packed(negative, exponent, fraction));
            for (long i = 0; i < random_per_exponent; ++i)
                values.push_back(packed(negative, exponent, rng() & 0xFFFFFF));
        }
    }
    EXPECT_EQ(check_all(values), 0);
    EXPECT_GE(values.size(), 4000000u);
}

TEST(ValueFormatExact, FractionsAroundEveryPowerOfTenAndCarry) {
    // Where the decimal exponent changes (10^n) and where rounding carries into
    // it (9.99995 * 10^n), for every exponent that reaches them.
    std::vector<double> values;
    for (int exponent = -64; exponent <= 63; ++exponent) {
        for (int n = -28; n <= 19; ++n) {
            for (const double boundary : {std::pow(10.0, n), 9.99995 * std::pow(10.0, n)}) {
                const double center = std::ldexp(boundary, 24 - exponent);
                if (center < 1 || center >= 16777216.0) continue;
                const auto middle = static_cast<std::int64_t>(center);
                for (std::int64_t f = middle - 3; f <= middle + 3; ++f)
                    if (f >= 1 && f <= 0xFFFFFF)
                        for (const bool negative : {false, true})
                            values.push_back(
                                packed(negative, exponent, static_cast<std::uint32_t>(f)));
            }
        }
    }
    EXPECT_EQ(check_all(values), 0);
    EXPECT_GE(values.size(), 10000u);
}

TEST(ValueFormatExact, EveryExactTieAndItsNeighbours) {
    const std::vector<double> ties = all_ties();
    std::vector<double> values;
    for (const double tie : ties) {
        const auto [f, exponent] = packed_parts_of(tie);
        ASSERT_EQ(packed(false, exponent, f), tie);  // a packed value indeed
        for (const bool negative : {false, true}) {
            values.push_back(packed(negative, exponent, f));
            if (f > 0x800000) values.push_back(packed(negative, exponent, f - 1));
            if (f < 0xFFFFFF) values.push_back(packed(negative, exponent, f + 1));
        }
    }
    // Spot checks that the enumeration holds the known ties.
    for (const double known : {1.03125, 12344.5, 99999.5, 0.00390625, 1234.25})
        EXPECT_NE(std::find(ties.begin(), ties.end(), known), ties.end()) << known;
    EXPECT_EQ(check_all(values), 0);
}

}  // namespace

#include "datalog/value_format_fast.h"

namespace {

// The exact integer scaling, which the formatter takes only near a tie, checked
// on its own over random values of every binary exponent.
TEST(ValueFormatExact, TheExactIntegerScalingAlone) {
    std::mt19937_64 rng(7);
    long failures = 0;
    for (int k = datalog::fast_min_k; k <= datalog::fast_max_k; ++k) {
        const datalog::fast_exponent_entry& entry =
            datalog::fast_exponent_table[k - datalog::fast_min_k];
        for (int i = 0; i < 4000; ++i) {
            const auto m = static_cast<std::uint32_t>((rng() & 0x7FFFFF) | 0x800000);
            const int above = m >= entry.ten_threshold ? 1 : 0;
            std::uint32_t digits = datalog::scale_and_round(m, entry.scalers[above]);
            int exponent = entry.exponent + above;
            if (digits == 100000) {
                digits = 10000;
                ++exponent;
            }
            char text[datalog::value_text_capacity];
            const std::string got(text, datalog::emit_scientific(text, false, digits, exponent));
            const std::string want = reference_format(std::ldexp(static_cast<double>(m), k));
            if (got != want && ++failures <= 5) ADD_FAILURE() << m << " * 2^" << k << ": " << got;
        }
    }
    EXPECT_EQ(failures, 0);
}

}  // namespace
