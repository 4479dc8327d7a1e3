// The exact scaling of a packed value to its five rounded digits, in integer
// arithmetic with the generated tables: the path every near-tie value takes.
#pragma once

#include <cstdint>

#include "datalog/value_text/scale_tables.h"
#include "datalog/value_text/uint128.h"

namespace datalog {

// m * 2^k * 10^(4-d) rounded to an integer, ties away from zero, exactly.
inline std::uint32_t scale_and_round(std::uint64_t m, const exact_scaler& scaler) {
    if (!scaler.divide) {
        const std::uint64_t high =
            multiply_64x64(m, scaler.multiplier_low).high + m * scaler.multiplier_high;
        return static_cast<std::uint32_t>((high + (std::uint64_t{1} << 31)) >> 32);
    }
    const std::uint64_t divisor = scaler.divisor;
    const std::uint64_t x = ((m << scaler.shift) << 1) + divisor / 2;
    std::uint64_t quotient = multiply_64x64(x, scaler.reciprocal).high;
    if (x - quotient * divisor >= divisor) ++quotient;
    return static_cast<std::uint32_t>(quotient);
}

}  // namespace datalog
