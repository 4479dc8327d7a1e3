#include "packed_ties.h"

#include <cmath>

#include "datalog/value_text/scale_tables.h"

// With d the value's decimal exponent, m * 2^k * 10^(4-d) lies halfway between
// two integers when twice it, m * 2^(k+5-d) * 5^(4-d), is an odd integer.
bool is_exact_tie(std::uint32_t m, int k) {
    const datalog::scale_entry& entry = datalog::scale_table[k - datalog::min_scale_k];
    const int d = entry.exponent + (m >= entry.ten_threshold ? 1 : 0);
    int twos = k + 5 - d, fives = 4 - d;
    for (; m % 2 == 0; m /= 2) ++twos;
    for (; m % 5 == 0; m /= 5) ++fives;
    return twos == 0 && fives >= 0;
}

// Such a value is (q + 1/2) * 10^-s for a five-digit q; being a binary
// fraction, it is either j / 2^(s+1) with j odd (s >= 0) or the integer
// (2q + 1) * 5^-s * 2^(-s-1) (s < 0), and its significand must fit in 24 bits.
std::vector<double> all_ties() {
    std::vector<double> ties;
    for (int s = 0; s <= 8; ++s) {
        const double low = std::pow(10.0, 4 - s), high = std::pow(10.0, 5 - s);
        for (std::int64_t j = 1; j < (1 << 24); j += 2) {
            const double value = std::ldexp(static_cast<double>(j), -(s + 1));
            if (value >= high) break;
            if (value >= low) ties.push_back(value);
        }
    }
    for (int s = -1; s >= -6; --s) {
        const std::int64_t five = static_cast<std::int64_t>(std::pow(5.0, -s) + 0.5);
        for (std::int64_t q = 10000; q <= 99999; ++q) {
            const std::int64_t odd = (2 * q + 1) * five;
            if (odd >= (1 << 24)) break;
            ties.push_back(std::ldexp(static_cast<double>(odd), -s - 1));
        }
    }
    return ties;
}

packed_parts packed_parts_of(double value) {
    int exponent = 0;
    const double fraction = std::frexp(value, &exponent);
    return {static_cast<std::uint32_t>(std::ldexp(fraction, 24)), exponent};
}
