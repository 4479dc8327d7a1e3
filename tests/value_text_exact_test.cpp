// The formatter against an independent exact computation over millions of
// packed values: every exponent, both signs, random and edge fractions, the
// values around every power of ten, and every exact tie a packed value can be.
//
// DATALOG_EXACT_SCALE (default 1) multiplies the number of random fractions.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "datalog/value_text/value_text.h"
#include "datalog_writer.h"
#include "packed_ties.h"
#include "reference_format.h"
#include "two_threads.h"
#include "value_path_texts.h"

namespace {

// value = fraction / 2^24 * 2^exponent, as a packed value decodes.
double packed(bool negative, int exponent, std::uint32_t fraction) {
    const double magnitude = std::ldexp(static_cast<double>(fraction), exponent - 24);
    return negative ? -magnitude : magnitude;
}

// Calls work(begin, end) over [0, count) in two halves, one on each thread.
template <typename Work>
void split_over_two_threads(std::size_t count, Work work) {
    struct halves {
        Work* work;
        std::size_t count;
        std::atomic<int> taken{0};
    } split{&work, count};
    on_two_threads(
        [](void* context) {
            auto& h = *static_cast<halves*>(context);
            if (h.taken++ == 0)
                (*h.work)(0, h.count / 2);
            else
                (*h.work)(h.count / 2, h.count);
        },
        &split);
}

// Checks every value, as packed values 16 to a record, through every
// formatting path this build and processor run (the scalar path and each
// vector path) against the reference, computed on two threads; returns the
// number of mismatches and reports the first few.
long check_all(const std::vector<double>& values) {
    std::string chars;
    for (const double value : values) chars += datalog_writer::encode_packed_value(value);
    std::vector<std::string> want(values.size());
    split_over_two_threads(values.size(), [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) want[i] = reference_format(values[i]);
    });
    constexpr std::size_t entry = datalog::value_entry_length;
    long failures = 0;
    for (const datalog::value_path path : available_value_paths()) {
        const std::string texts = value_texts(path, chars);
        for (std::size_t i = 0; i < values.size(); ++i) {
            const std::string got = texts.substr(entry * i + 2, datalog::value_text_length);
            if (got != want[i] && ++failures <= 5)
                ADD_FAILURE() << datalog::value_path_name(path) << ": " << std::hexfloat
                              << values[i] << ": " << got << " != " << want[i];
        }
    }
    return failures;
}

long scale() {
    const char* text = std::getenv("DATALOG_EXACT_SCALE");
    return text != nullptr ? std::atol(text) : 1;
}

TEST(ValueTextExact, RandomAndEdgeFractionsAtEveryExponent) {
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

TEST(ValueTextExact, FractionsAroundEveryPowerOfTenAndCarry) {
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

TEST(ValueTextExact, EveryExactTieAndItsNeighbours) {
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
