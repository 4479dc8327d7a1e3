// A 128-bit unsigned product of two 64-bit numbers, written portably so that
// the same code runs on 32-bit targets, which have no 128-bit integer type.
#pragma once

#include <cstdint>

namespace datalog {

struct uint128 {
    std::uint64_t high;
    std::uint64_t low;
};

inline uint128 multiply_64x64(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t a_lo = a & 0xFFFFFFFFu, a_hi = a >> 32;
    const std::uint64_t b_lo = b & 0xFFFFFFFFu, b_hi = b >> 32;
    const std::uint64_t lo_lo = a_lo * b_lo;
    const std::uint64_t hi_lo = a_hi * b_lo;
    const std::uint64_t lo_hi = a_lo * b_hi;
    const std::uint64_t hi_hi = a_hi * b_hi;
    const std::uint64_t middle = (lo_lo >> 32) + (hi_lo & 0xFFFFFFFFu) + lo_hi;
    return {hi_hi + (hi_lo >> 32) + (middle >> 32), (middle << 32) | (lo_lo & 0xFFFFFFFFu)};
}

// n >> shift for shift in 1 ... 127.
inline std::uint64_t shift_right(uint128 n, int shift) {
    if (shift < 64) return (n.low >> shift) | (n.high << (64 - shift));
    return n.high >> (shift - 64);
}

// Bit `index` (0 ... 127) of n.
inline unsigned bit_at(uint128 n, int index) {
    return static_cast<unsigned>((index < 64 ? n.low >> index : n.high >> (index - 64)) & 1u);
}

}  // namespace datalog
