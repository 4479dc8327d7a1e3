// Every packed datalog value that lies exactly halfway between two "%+.4E"
// results: the values the formatter must round away from zero.
#pragma once

#include <cstdint>
#include <vector>

// Whether m * 2^k (m in [2^23, 2^24), k as the formatter's scale table has
// it) lies exactly halfway between two five-digit texts.
bool is_exact_tie(std::uint32_t m, int k);

// The positive ties, each once (about 175,000 of them).
std::vector<double> all_ties();

// The packed fields of the positive value `value`, normalised so that the
// fraction's top bit is set: value = fraction / 2^24 * 2^exponent.
struct packed_parts {
    std::uint32_t fraction;
    int exponent;
};
packed_parts packed_parts_of(double value);
