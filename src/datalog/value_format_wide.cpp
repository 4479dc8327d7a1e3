// The exact wide path of the value formatter, for doubles outside the fast
// path's range (no packed datalog value lands here). It expands the value into
// a big integer of base-10^9 limbs and reads its leading digits: slow, simple
// and exact for every finite double.
#include <cstdint>

#include "datalog/value_format_internal.h"

namespace datalog {

namespace {

constexpr std::uint32_t limb_base = 1000000000;
// 2^53 * 5^1074 has 767 decimal digits; 2^1024 has 309.
constexpr int max_limbs = 90;

int decimal_digit_count(std::uint32_t n) {
    int count = 1;
    while (n >= 10) {
        n /= 10;
        ++count;
    }
    return count;
}

}  // namespace

std::uint32_t round_wide(std::uint64_t significand, int binary_exponent, int* decimal_exponent) {
    // value = significand * 2^e = N        when e >= 0, with N = significand * 2^e
    //                           = N * 10^e when e < 0,  with N = significand * 5^-e
    std::uint32_t limbs[max_limbs];
    int count = 0;
    for (; significand != 0; significand /= limb_base)
        limbs[count++] = static_cast<std::uint32_t>(significand % limb_base);

    const bool by_two = binary_exponent >= 0;
    for (int remaining = by_two ? binary_exponent : -binary_exponent; remaining > 0;) {
        const int step = remaining < (by_two ? 29 : 13) ? remaining : (by_two ? 29 : 13);
        std::uint64_t factor = 1;
        for (int i = 0; i < step; ++i) factor *= by_two ? 2 : 5;
        std::uint64_t carry = 0;
        for (int i = 0; i < count; ++i) {
            const std::uint64_t product = limbs[i] * factor + carry;
            limbs[i] = static_cast<std::uint32_t>(product % limb_base);
            carry = product / limb_base;
        }
        for (; carry != 0; carry /= limb_base)
            limbs[count++] = static_cast<std::uint32_t>(carry % limb_base);
        remaining -= step;
    }

    const int top_digits = decimal_digit_count(limbs[count - 1]);
    std::uint64_t lead = limbs[count - 1];
    int lead_digits = top_digits;
    if (count >= 2) {
        lead = lead * limb_base + limbs[count - 2];
        lead_digits += 9;
    }
    // Six significant digits: five to keep and the one that decides the
    // rounding (half away from zero rounds up exactly when it is 5 or more).
    for (; lead_digits > 6; --lead_digits) lead /= 10;
    for (; lead_digits < 6; ++lead_digits) lead *= 10;

    std::uint32_t digits = static_cast<std::uint32_t>(lead / 10 + (lead % 10 >= 5 ? 1 : 0));
    int exponent = top_digits - 1 + 9 * (count - 1) + (by_two ? 0 : binary_exponent);
    if (digits == 100000) {
        digits = 10000;
        ++exponent;
    }
    *decimal_exponent = exponent;
    return digits;
}

}  // namespace datalog
