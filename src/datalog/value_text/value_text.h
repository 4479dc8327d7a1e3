// The "%+.4E" text of a packed datalog value, with exact ties away from zero:
// what the conversion writes for every value. The C library's printf cannot
// be used for this: glibc rounds exact ties to even, and some Windows runtimes
// print three exponent digits.
//
// From the packed characters down: format_packed decodes the fields,
// format_fraction normalises the fraction, format_normalized estimates the
// five digits in double precision and hands the rare near-tie value to the
// exact integer scaling (exact_scale.h); write_value_text (digit_text.h) writes
// the characters. Why the estimate is safe: README.md in this folder.
#pragma once

#include <cstdint>
#include <cstring>

#include "datalog/datalog_format.h"
#include "datalog/value_text/digit_text.h"
#include "datalog/value_text/exact_scale.h"
#include "datalog/value_text/scale_tables.h"

namespace datalog {

inline bool format_fraction(bool negative, std::uint32_t fraction, int exponent, char* out);
inline bool format_normalized(bool negative, std::uint32_t m, int k, char* out);

// Each function below writes the 11-character text of one value and returns
// whether it handed the value to the exact scaling (a value near a rounding
// tie), which only the tests of that rate look at.

// The text of the 8-character packed value at `chars`.
inline bool format_packed(const char* chars, char* out) {
    const packed_fields value = decode_packed_fields(chars);
    return format_fraction(value.negative, value.fraction, value.exponent, out);
}

// The text of (negative ? -1 : 1) * fraction / 2^24 * 2^exponent, for a
// 24-bit fraction and an exponent in -64 ... 63.
inline bool format_fraction(bool negative, std::uint32_t fraction, int exponent, char* out) {
    if (fraction == 0) {
        write_value_text(out, negative, 0, 0);
        return false;
    }
    const int shift = __builtin_clz(fraction) - 8;  // normalise into [2^23, 2^24)
    return format_normalized(negative, fraction << shift, exponent - 24 - shift, out);
}

// How close to an integer m * scale + 1/2 may come before the scalar path
// scales exactly (README.md in this folder gives the error bound).
constexpr double scalar_near_tie_window = 1e-9;

// Five significant digits, 10000-99999, and a decimal exponent.
struct five_digits {
    std::uint32_t digits;
    int exponent;
};

// `rounded`, a value scaled to five digits before the point and rounded, with
// its decimal exponent: a rounding up to 100000 carries into the next power.
inline five_digits with_carry(std::uint32_t rounded, int exponent) {
    if (rounded == 100000) return {10000, exponent + 1};
    return {rounded, exponent};
}

// The scaled value m * 2^k * 10^(4-d) estimated in double precision and
// rounded; `near_tie` when the estimate lies too near a rounding boundary to
// be trusted, and the value must be scaled exactly. `exponent_step` is 1 where
// m lies at or above the entry's power of ten (d is then one more), else 0.
struct digit_estimate {
    std::uint32_t rounded;
    bool near_tie;
};
inline digit_estimate estimate_digits(std::uint32_t m, const scale_entry& entry,
                                      int exponent_step) {
    // Signed conversions (m < 2^24, the sum < 2^31): 32-bit code has no
    // unsigned conversion between 32-bit integers and doubles. The integer
    // part of the sum is the rounded value; its fraction, how far from a tie.
    const double plus_half = static_cast<std::int32_t>(m) * entry.scales[exponent_step] + 0.5;
    const std::int32_t digits = static_cast<std::int32_t>(plus_half);
    const double part = plus_half - digits;
    return {static_cast<std::uint32_t>(digits),
            part < scalar_near_tie_window || part > 1 - scalar_near_tie_window};
}

// m * 2^k to five digits by the exact scaling alone, for m in [2^23, 2^24)
// and k in [min_scale_k, max_scale_k]: the estimate's fallback, and its tests'
// reference.
inline five_digits scale_exactly(std::uint32_t m, int k) {
    const scale_entry& entry = scale_table[k - min_scale_k];
    const int exponent_step = m >= entry.ten_threshold ? 1 : 0;
    return with_carry(scale_and_round(m, entry.scalers[exponent_step]),
                      entry.exponent + exponent_step);
}

// The same, estimated, and scaled exactly only where the estimate is near a
// tie; `handed` says whether the exact scaling gave the digits.
struct scaled_digits {
    five_digits digits;
    bool handed;
};
inline scaled_digits scale_to_five_digits(std::uint32_t m, int k) {
    const scale_entry& entry = scale_table[k - min_scale_k];
    const int exponent_step = m >= entry.ten_threshold ? 1 : 0;
    const digit_estimate estimate = estimate_digits(m, entry, exponent_step);
    if (estimate.near_tie) return {scale_exactly(m, k), true};
    return {with_carry(estimate.rounded, entry.exponent + exponent_step), false};
}

// The text of -m * 2^k (negative) or m * 2^k, for m in [2^23, 2^24) and k in
// [min_scale_k, max_scale_k]: every packed value.
inline bool format_normalized(bool negative, std::uint32_t m, int k, char* out) {
    const scaled_digits scaled = scale_to_five_digits(m, k);
    // The decimal exponent is -27 ... 18 here.
    write_value_text(out, negative, scaled.digits.digits, scaled.digits.exponent);
    return scaled.handed;
}

// The scalar path over a record's values: ", " and the text of each of the
// `count` packed values at `chars`, 13 characters each. Returns how many it
// handed to the exact scaling.
inline unsigned format_values_scalar(const char* chars, unsigned count, char* out) {
    unsigned handed = 0;
    for (unsigned k = 0; k < count; ++k) {
        char* entry = out + value_entry_length * k;
        std::memcpy(entry, ", ", 2);
        handed += format_packed(chars + packed_value_length * k, entry + 2);
    }
    return handed;
}

}  // namespace datalog
