// The value formatter's fast path, inline so that the conversion's inner loop
// formats straight into its output buffer: value = m * 2^k with m in
// [2^23, 2^24) and k in [fast_min_k, fast_max_k], which holds every packed
// datalog value, exactly, in integer arithmetic.
#pragma once

#include <cstddef>
#include <cstdint>

#include "datalog/datalog_format.h"
#include "datalog/uint128.h"
#include "datalog/value_format_internal.h"
#include "datalog/value_format_tables.h"

namespace datalog {

// m * 2^k * 10^(4-d) rounded to an integer, ties away from zero, exactly.
inline std::uint32_t scale_and_round(std::uint64_t m, const fast_scaler& scaler) {
    if (!scaler.divide) {
        const std::uint64_t high = multiply_64x64(m, scaler.low).high + m * scaler.high;
        return static_cast<std::uint32_t>((high + (std::uint64_t{1} << 31)) >> 32);
    }
    const std::uint64_t divisor = scaler.low;
    const std::uint64_t x = ((m << scaler.shift) << 1) + divisor / 2;
    std::uint64_t quotient = multiply_64x64(x, scaler.high).high;
    if (x - quotient * divisor >= divisor) ++quotient;
    return static_cast<std::uint32_t>(quotient);
}

// Writes the 11-character text of -m * 2^k (negative) or m * 2^k.
inline void format_normalized(bool negative, std::uint32_t m, int k, char* out) {
    const fast_exponent_entry& entry = fast_exponent_table[k - fast_min_k];
    const int above = m >= entry.ten_threshold ? 1 : 0;
    int exponent = entry.exponent + above;
    // In double precision, m * scale + 1/2 lies within 4e-11 of the exact value
    // (two roundings of at most 2^-53 relative on a number below 10^5, and the
    // addition), so its integer part is exact unless it lies that close to an
    // integer; the rare value that does (every tie among them) is scaled exactly.
    const double rounded = static_cast<double>(m) * entry.scales[above] + 0.5;
    std::uint32_t digits = static_cast<std::uint32_t>(rounded);
    const double part = rounded - digits;
    if (part < 1e-9 || part > 1 - 1e-9) digits = scale_and_round(m, entry.scalers[above]);
    if (digits == 100000) {  // rounded up to the next power of ten
        digits = 10000;
        ++exponent;
    }
    emit_short_exponent(out, negative, digits, exponent);  // -27 ... 19 here
}

// Writes the 11-character text of the value (negative ? -1 : 1) * fraction / 2^24 * 2^exponent,
// for a 24-bit fraction and an exponent in -64 ... 63.
inline void format_fraction(bool negative, std::uint32_t fraction, int exponent, char* out) {
    if (fraction == 0) return emit_short_exponent(out, negative, 0, 0);
    int shift = 0;  // normalise the fraction into [2^23, 2^24)
#if defined(__GNUC__)
    shift = __builtin_clz(fraction) - 8;
#else
    while ((fraction << shift) < (1u << 23)) ++shift;
#endif
    format_normalized(negative, fraction << shift, exponent - 24 - shift, out);
}

// Writes the 11-character text of the 8-character packed value at `chars`.
inline void format_packed(const char* chars, char* out) {
    const packed_fields value = decode_packed_fields(chars);
    format_fraction(value.negative, value.fraction, value.exponent, out);
}

}  // namespace datalog
