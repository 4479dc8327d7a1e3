// The characters of a "%+.4E" text from its rounded five digits: sign, one
// digit, a point, four digits, "E", the exponent's sign and two digits.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

namespace datalog {

// The length of one value's text, and of one value's entry in a record line
// (", " and the text).
constexpr unsigned value_text_length = 11;
constexpr unsigned value_entry_length = 2 + value_text_length;

// "00" "01" ... "99".
inline constexpr std::array<char, 200> two_digits = [] {
    std::array<char, 200> digits{};
    for (int n = 0; n < 100; ++n) {
        digits[2 * n] = static_cast<char>('0' + n / 10);
        digits[2 * n + 1] = static_cast<char>('0' + n % 10);
    }
    return digits;
}();

// "E-99" ... "E+99", four characters each, at index exponent + 99.
inline constexpr std::array<std::array<char, 4>, 199> exponent_texts = [] {
    std::array<std::array<char, 4>, 199> texts{};
    for (int e = -99; e <= 99; ++e) {
        const int magnitude = e < 0 ? -e : e;
        texts[e + 99] = {'E', e < 0 ? '-' : '+', static_cast<char>('0' + magnitude / 10),
                         static_cast<char>('0' + magnitude % 10)};
    }
    return texts;
}();

// Writes the 11 characters for the rounded five-digit significand `digits`
// (10000 to 99999, or 0 for zero) and a decimal exponent in -99 ... 99.
inline void write_value_text(char* out, bool negative, std::uint32_t digits, int exponent) {
    // digits / 10^4 in 32.32 fixed point: the integer part is the first digit,
    // and each multiplication of the fraction by 100 brings out two more
    // (exact for every digits below 10^5).
    std::uint64_t y = digits * std::uint64_t{429497};
    out[0] = static_cast<char>('+' + 2 * static_cast<int>(negative));  // '-' is '+' + 2
    out[1] = static_cast<char>('0' + (y >> 32));
    out[2] = '.';
    y = (y & 0xFFFFFFFFu) * 100;
    std::memcpy(out + 3, two_digits.data() + 2 * (y >> 32), 2);
    y = (y & 0xFFFFFFFFu) * 100;
    std::memcpy(out + 5, two_digits.data() + 2 * (y >> 32), 2);
    std::memcpy(out + 7, exponent_texts[exponent + 99].data(), 4);
}

}  // namespace datalog
