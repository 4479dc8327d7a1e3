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

#include "datalog/datalog_format.h"
#include "datalog/value_text/digit_text.h"
#include "datalog/value_text/exact_scale.h"
#include "datalog/value_text/scale_tables.h"

namespace datalog {

inline void format_fraction(bool negative, std::uint32_t fraction, int exponent, char* out);
inline void format_normalized(bool negative, std::uint32_t m, int k, char* out);

// Writes the 11-character text of the 8-character packed value at `chars`.
inline void format_packed(const char* chars, char* out) {
    const packed_fields value = decode_packed_fields(chars);
    format_fraction(value.negative, value.fraction, value.exponent, out);
}

// Writes the 11-character text of (negative ? -1 : 1) * fraction / 2^24 *
// 2^exponent, for a 24-bit fraction and an exponent in -64 ... 63.
inline void format_fraction(bool negative, std::uint32_t fraction, int exponent, char* out) {
    if (fraction == 0) return write_value_text(out, negative, 0, 0);
    int shift = 0;  // normalise the fraction into [2^23, 2^24)
#if defined(__GNUC__)
    shift = __builtin_clz(fraction) - 8;
#else
    while ((fraction << shift) < (1u << 23)) ++shift;
#endif
    format_normalized(negative, fraction << shift, exponent - 24 - shift, out);
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
// be trusted, and the value must be scaled exactly.
struct digit_estimate {
    std::uint32_t rounded;
    bool near_tie;
};
inline digit_estimate estimate_digits(std::uint32_t m, const scale_entry& entry, int above) {
    // Signed conversions (m < 2^24, rounded < 2^31): 32-bit code has no
    // unsigned conversion between 32-bit integers and doubles.
    const double rounded = static_cast<std::int32_t>(m) * entry.scales[above] + 0.5;
    const std::int32_t digits = static_cast<std::int32_t>(rounded);
    const double part = rounded - digits;
    return {static_cast<std::uint32_t>(digits),
            part < scalar_near_tie_window || part > 1 - scalar_near_tie_window};
}

// m * 2^k to five digits by the exact integer scaling alone, for m in
// [2^23, 2^24) and k in [min_scale_k, max_scale_k].
inline five_digits scale_exactly(std::uint32_t m, int k) {
    const scale_entry& entry = scale_table[k - min_scale_k];
    const int above = m >= entry.ten_threshold ? 1 : 0;
    return with_carry(scale_and_round(m, entry.scalers[above]), entry.exponent + above);
}

// Writes the 11-character text of -m * 2^k (negative) or m * 2^k, for m in
// [2^23, 2^24) and k in [min_scale_k, max_scale_k]: every packed value.
inline void format_normalized(bool negative, std::uint32_t m, int k, char* out) {
    const scale_entry& entry = scale_table[k - min_scale_k];
    const int above = m >= entry.ten_threshold ? 1 : 0;
    const digit_estimate estimate = estimate_digits(m, entry, above);
    const std::uint32_t rounded =
        estimate.near_tie ? scale_and_round(m, entry.scalers[above]) : estimate.rounded;
    const five_digits d = with_carry(rounded, entry.exponent + above);
    write_value_text(out, negative, d.digits, d.exponent);  // -27 ... 19 here
}

}  // namespace datalog
