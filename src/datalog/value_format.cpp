#include "datalog/value_format.h"

#include <cstdint>
#include <cstring>

#include "datalog/pow5_table.h"
#include "datalog/uint128.h"
#include "datalog/value_format_internal.h"

namespace datalog {
namespace {

// The fast path takes value = m * 2^k with m in [2^23, 2^24) and k in this
// range, which holds every packed datalog value (24-bit fraction, binary
// exponent -64 ... 63).
constexpr int fast_min_k = -111;
constexpr int fast_max_k = 39;

const char two_digits[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// floor(e * log10(2)), exact for the exponents the fast path meets.
int floor_log10_pow2(int e) {
    return (e * 78913) >> 18;
}

// m * 2^k * 10^s rounded to an integer, ties away from zero. The caller picks
// s so that the exact product lies below 10^6.
std::uint64_t scale_and_round(std::uint64_t m, int k, int s) {
    const int t = k + s;  // 10^s = 2^s * 5^s; t is the power of two left over
    if (s >= 0) {
        // m * 5^s * 2^t, where t < 0: the bits below 2^-t are the fraction,
        // and its top bit alone says whether it reaches one half.
        const int s_low = s < pow5_table_size ? s : pow5_table_size - 1;
        const uint128 n = multiply_64x64(m * pow5_table[s - s_low], pow5_table[s_low]);
        return shift_right(n, -t) + bit_at(n, -t - 1);
    }
    const std::uint64_t numerator = t >= 0 ? m << t : m;
    const std::uint64_t denominator = t >= 0 ? pow5_table[-s] : pow5_table[-s] << -t;
    const std::uint64_t quotient = numerator / denominator;
    const std::uint64_t remainder = numerator % denominator;
    return quotient + (2 * remainder >= denominator ? 1 : 0);
}

std::size_t format_special(char* out, bool negative, bool is_nan) {
    out[0] = negative ? '-' : '+';
    std::memcpy(out + 1, is_nan ? "NAN" : "INF", 3);
    return 4;
}

}  // namespace

std::size_t emit_scientific(char* out, bool negative, std::uint32_t digits, int exponent) {
    out[0] = negative ? '-' : '+';
    out[1] = static_cast<char>('0' + digits / 10000);
    out[2] = '.';
    const std::uint32_t rest = digits % 10000;
    std::memcpy(out + 3, two_digits + 2 * (rest / 100), 2);
    std::memcpy(out + 5, two_digits + 2 * (rest % 100), 2);
    out[7] = 'E';
    out[8] = exponent < 0 ? '-' : '+';
    const unsigned magnitude = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);
    if (magnitude >= 100) {
        out[9] = static_cast<char>('0' + magnitude / 100);
        std::memcpy(out + 10, two_digits + 2 * (magnitude % 100), 2);
        return 12;
    }
    std::memcpy(out + 9, two_digits + 2 * magnitude, 2);
    return 11;
}

std::size_t format_value(double value, char* out) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const bool negative = (bits >> 63) != 0;
    const int biased_exponent = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);

    if (biased_exponent == 0x7FF) return format_special(out, negative, fraction != 0);
    if (biased_exponent == 0 && fraction == 0) return emit_scientific(out, negative, 0, 0);

    const int k = biased_exponent - 1075 + 29;
    const bool fast = biased_exponent != 0 && (fraction & ((1u << 29) - 1)) == 0 &&
                      k >= fast_min_k && k <= fast_max_k;
    if (!fast) {
        const std::uint64_t significand =
            biased_exponent == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
        const int binary_exponent = biased_exponent == 0 ? -1074 : biased_exponent - 1075;
        int exponent = 0;
        const std::uint32_t digits = round_wide(significand, binary_exponent, &exponent);
        return emit_scientific(out, negative, digits, exponent);
    }

    const std::uint64_t m = (fraction >> 29) | (std::uint64_t{1} << 23);
    // m * 2^k lies in [2^(k+23), 2^(k+24)), so its decimal exponent is this
    // estimate or one more; a rounded result of six digits moves it up.
    int exponent = floor_log10_pow2(k + 23);
    std::uint64_t digits = scale_and_round(m, k, 4 - exponent);
    while (digits >= 100000) {
        ++exponent;
        digits = scale_and_round(m, k, 4 - exponent);
    }
    return emit_scientific(out, negative, static_cast<std::uint32_t>(digits), exponent);
}

}  // namespace datalog
