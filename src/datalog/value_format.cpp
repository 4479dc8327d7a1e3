#include "datalog/value_format.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "datalog/value_format_fast.h"

namespace datalog {

const char two_digits[200] = {
#define DATALOG_TENS(t) \
    t, '0', t, '1', t, '2', t, '3', t, '4', t, '5', t, '6', t, '7', t, '8', t, '9'
    DATALOG_TENS('0'), DATALOG_TENS('1'), DATALOG_TENS('2'), DATALOG_TENS('3'), DATALOG_TENS('4'),
    DATALOG_TENS('5'), DATALOG_TENS('6'), DATALOG_TENS('7'), DATALOG_TENS('8'), DATALOG_TENS('9'),
#undef DATALOG_TENS
};

namespace {

constexpr std::array<std::array<char, 4>, 199> make_exponent_texts() {
    std::array<std::array<char, 4>, 199> texts{};
    for (int e = -99; e <= 99; ++e) {
        const int magnitude = e < 0 ? -e : e;
        texts[e + 99] = {'E', e < 0 ? '-' : '+', static_cast<char>('0' + magnitude / 10),
                         static_cast<char>('0' + magnitude % 10)};
    }
    return texts;
}

}  // namespace

extern const std::array<std::array<char, 4>, 199> exponent_texts = make_exponent_texts();

namespace {

std::size_t format_special(char* out, bool negative, bool is_nan) {
    out[0] = negative ? '-' : '+';
    std::memcpy(out + 1, is_nan ? "NAN" : "INF", 3);
    return 4;
}

}  // namespace

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

    const std::uint32_t m = static_cast<std::uint32_t>(fraction >> 29) | (1u << 23);
    format_normalized(negative, m, k, out);
    return 11;
}

}  // namespace datalog
