// A 128-bit unsigned product of two 64-bit numbers: the compiler's 128-bit type
// where it has one, and a portable version for 32-bit targets, which do not.
// Defining DATALOG_PORTABLE_UINT128 takes the portable version everywhere, so
// that the 32-bit program's arithmetic can be tested on a 64-bit host.
#pragma once

#include <cstdint>

namespace datalog {

struct uint128 {
    std::uint64_t high;
    std::uint64_t low;
};

// The product from 32-bit halves, for targets without a 128-bit type.
inline uint128 multiply_64x64_portable(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t a_lo = a & 0xFFFFFFFFu, a_hi = a >> 32;
    const std::uint64_t b_lo = b & 0xFFFFFFFFu, b_hi = b >> 32;
    const std::uint64_t lo_lo = a_lo * b_lo;
    const std::uint64_t hi_lo = a_hi * b_lo;
    const std::uint64_t lo_hi = a_lo * b_hi;
    const std::uint64_t hi_hi = a_hi * b_hi;
    const std::uint64_t middle = (lo_lo >> 32) + (hi_lo & 0xFFFFFFFFu) + lo_hi;
    return {hi_hi + (hi_lo >> 32) + (middle >> 32), (middle << 32) | (lo_lo & 0xFFFFFFFFu)};
}

inline uint128 multiply_64x64(std::uint64_t a, std::uint64_t b) {
#if defined(__SIZEOF_INT128__) && !defined(DATALOG_PORTABLE_UINT128)
    __extension__ using native_uint128 = unsigned __int128;
    const native_uint128 product = static_cast<native_uint128>(a) * b;
    return {static_cast<std::uint64_t>(product >> 64), static_cast<std::uint64_t>(product)};
#else
    return multiply_64x64_portable(a, b);
#endif
}

}  // namespace datalog
