// Pieces shared by the two halves of the value formatter: the fast path for
// doubles with a 24-bit significand (every packed datalog value is one) and the
// exact wide path for every other finite double.
#pragma once

#include <cstddef>
#include <cstdint>

namespace datalog {

// Writes sign, "d.dddd", "E" and the exponent for the rounded five-digit
// significand `digits` (10000 to 99999); returns the length written.
std::size_t emit_scientific(char* out, bool negative, std::uint32_t digits, int exponent);

// Rounds the finite, non-zero value significand * 2^binary_exponent to five
// significant digits, ties away from zero, exactly, for any significand below
// 2^53 and any exponent a double can carry. Returns the five digits (10000 to
// 99999) and stores the decimal exponent.
std::uint32_t round_wide(std::uint64_t significand, int binary_exponent, int* decimal_exponent);

}  // namespace datalog
