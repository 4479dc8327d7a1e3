// Pieces shared by the two halves of the value formatter: the fast path for
// doubles with a 24-bit significand (every packed datalog value is one) and the
// exact wide path for every other finite double.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace datalog {

extern const char two_digits[200];  // "00" "01" ... "99"
// "E-99" ... "E+99", four characters each, at index exponent + 99.
extern const std::array<std::array<char, 4>, 199> exponent_texts;

// Writes sign, "d.dddd", "E" and a two-digit exponent (-99 ... 99) for the
// rounded five-digit significand `digits` (10000 to 99999, or 0 for zero).
inline void emit_short_exponent(char* out, bool negative, std::uint32_t digits, int exponent) {
    // digits / 10^4 in 32.32 fixed point: the integer part is the first digit,
    // and each multiplication of the fraction by 100 brings out two more
    // (exact for every digits below 10^5).
    std::uint64_t y = digits * std::uint64_t{429497};
    out[0] = static_cast<char>('+' + 2 * static_cast<int>(negative));  // '-' is '+' + 2
    out[1] = static_cast<char>('0' + (y >> 32));
    out[2] = '.';
    y = (y & 0xFFFFFFFFu) * 100;
    std::memcpy(out + 3, two_digits + 2 * (y >> 32), 2);
    y = (y & 0xFFFFFFFFu) * 100;
    std::memcpy(out + 5, two_digits + 2 * (y >> 32), 2);
    std::memcpy(out + 7, exponent_texts[exponent + 99].data(), 4);
}

// The same for any exponent; returns the length written (11, or 12 for a
// three-digit exponent).
inline std::size_t emit_scientific(char* out, bool negative, std::uint32_t digits, int exponent) {
    if (exponent > -100 && exponent < 100) {
        emit_short_exponent(out, negative, digits, exponent);
        return 11;
    }
    emit_short_exponent(out, negative, digits, 0);
    const unsigned magnitude = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);
    out[8] = exponent < 0 ? '-' : '+';
    out[9] = static_cast<char>('0' + magnitude / 100);
    std::memcpy(out + 10, two_digits + 2 * (magnitude % 100), 2);
    return 12;
}

// Rounds the finite, non-zero value significand * 2^binary_exponent to five
// significant digits, ties away from zero, exactly, for any significand below
// 2^53 and any exponent a double can carry. Returns the five digits (10000 to
// 99999) and stores the decimal exponent.
std::uint32_t round_wide(std::uint64_t significand, int binary_exponent, int* decimal_exponent);

}  // namespace datalog
