// The constants the AVX-512, AVX2 and SSE4.1 paths share. Why the estimate and the
// near-tie window are safe: README.md in this folder.
#pragma once

#include <cstdint>

namespace datalog {
namespace vector_constants {

// 10^n = 10^(8q) * 10^r for n = -14 ... 31, q = -2 ... 3 and r = 0 ... 7:
// 10^(8q) correctly rounded at q + 2, and 10^r, exact even as a float. A
// lane's index into them is n + 16 = power_index_base - floor(log10 value).
inline constexpr double eighth_powers_of_ten[8] = {1e-16, 1e-8, 1, 1e8, 1e16, 1e24, 0, 0};
inline constexpr float small_powers_of_ten[8] = {1, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
inline constexpr int power_index_base = 20;

// floor(log10 value) is (log2 * 1233) >> 12 or one more: 1233 / 4096 stands
// for log10(2), exactly enough for every log2 a packed value has (-88 ... 62).
inline constexpr int log10_2_times_4096 = 1233;

// From 99999.5 up the five digits are 1.0000 times the next power of ten
// either way; the cut lies clear of the estimate's error.
inline constexpr double next_power_cut = 99999.75;

// A lane whose scaled estimate lies within this of a half is rounded exactly.
inline constexpr double near_tie_window = 1e-9;

// Digit splitting in 16-bit fixed point, exact for the ranges used:
// ((q >> 4) * 6711) >> 22 is q / 10^4 for q < 10^5; (r * 5243) >> 19 is
// r / 100 for r < 10^4; (p * 6554) >> 16 is p / 10 for p < 100.
inline constexpr std::int16_t first_digit_multiplier = 6711;
inline constexpr std::int16_t hundreds_multiplier = 5243;
inline constexpr std::int16_t tens_multiplier = 6554;

// ", +0" as a little-endian word: the head of a value's entry, to which the
// first digit is added in the top byte and 2 in the sign's byte for '-'.
inline constexpr std::int32_t entry_head = 0x302B202C;

// The exponents a packed value's text can have: 2^-88 is +3.2312E-27, and
// (2^24 - 1) * 2^39 is 9.2234E+18.
inline constexpr int min_decimal_exponent = -27;
inline constexpr int max_decimal_exponent = 18;

}  // namespace vector_constants
}  // namespace datalog
