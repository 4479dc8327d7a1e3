#include "datalog/record_values_simd.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "datalog/datalog_format.h"
#include "datalog/value_format_fast.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define DATALOG_AVX2_PATH 1
// GCC 12's intrinsic headers start some vectors undefined on purpose, which
// its own -Wuninitialized then reports.
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif
#include <immintrin.h>
#else
#define DATALOG_AVX2_PATH 0
#endif

namespace datalog {

#if DATALOG_AVX2_PATH

// Only these functions use AVX2; the rest of the program runs on any x86-64.
#define DATALOG_AVX2 __attribute__((target("avx2")))

namespace {

// Each character's hexadecimal digit value: '0'-'9', 'A'-'F' and 'a'-'f' give
// 0-15, every other character 0.
DATALOG_AVX2 __m256i hex_digit_values(__m256i chars) {
    const __m256i digit = _mm256_sub_epi8(chars, _mm256_set1_epi8('0'));
    const __m256i is_digit = _mm256_cmpeq_epi8(_mm256_min_epu8(digit, _mm256_set1_epi8(9)), digit);
    // Only 'A'-'F' and 'a'-'f' become 'a'-'f' with bit 5 set.
    const __m256i letter =
        _mm256_sub_epi8(_mm256_or_si256(chars, _mm256_set1_epi8(0x20)), _mm256_set1_epi8('a'));
    const __m256i is_letter =
        _mm256_cmpeq_epi8(_mm256_min_epu8(letter, _mm256_set1_epi8(5)), letter);
    return _mm256_or_si256(
        _mm256_and_si256(is_digit, digit),
        _mm256_and_si256(is_letter, _mm256_add_epi8(letter, _mm256_set1_epi8(10))));
}

// The four bytes of each of the eight packed values, one value per 32-bit lane.
DATALOG_AVX2 __m256i packed_bytes(const char* chars) {
    // Each pair of characters, low nibble first, gives one byte.
    const __m256i pair_weights = _mm256_set1_epi16(0x1001);
    const __m256i first = _mm256_maddubs_epi16(
        hex_digit_values(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(chars))),
        pair_weights);
    const __m256i second = _mm256_maddubs_epi16(
        hex_digit_values(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(chars + 32))),
        pair_weights);
    // The pack works within 128-bit halves, giving values 0 1 4 5 2 3 6 7.
    return _mm256_permute4x64_epi64(_mm256_packus_epi16(first, second), 0xD8);
}

struct rounded_values {
    __m256i digits;    // the five significant digits, or 0 for a zero value
    __m256i exponent;  // the decimal exponent
    int near_tie;      // lanes whose rounding the double estimate cannot decide
};

// Eight doubles as their low and their high 32 bits.
struct double_table {
    __m256i low;
    __m256i high;
};

// The doubles chosen by the index (0-7) in each 32-bit lane: lanes 0-3 in
// `first`, lanes 4-7 in `second`.
DATALOG_AVX2 void look_up(const double_table& table, __m256i index, __m256d* first,
                          __m256d* second) {
    const __m256i low = _mm256_permutevar8x32_epi32(table.low, index);
    const __m256i high = _mm256_permutevar8x32_epi32(table.high, index);
    // Interleaving works within 128-bit halves: lanes 0 1 4 5, then 2 3 6 7.
    const __m256i lanes_0145 = _mm256_unpacklo_epi32(low, high);
    const __m256i lanes_2367 = _mm256_unpackhi_epi32(low, high);
    *first = _mm256_castsi256_pd(_mm256_permute2x128_si256(lanes_0145, lanes_2367, 0x20));
    *second = _mm256_castsi256_pd(_mm256_permute2x128_si256(lanes_0145, lanes_2367, 0x31));
}

DATALOG_AVX2 double_table make_double_table(const double (&values)[8]) {
    std::uint32_t low[8], high[8];
    for (int i = 0; i < 8; ++i) {
        std::uint64_t bits;
        std::memcpy(&bits, &values[i], sizeof bits);
        low[i] = static_cast<std::uint32_t>(bits);
        high[i] = static_cast<std::uint32_t>(bits >> 32);
    }
    return {_mm256_loadu_si256(reinterpret_cast<const __m256i*>(low)),
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(high))};
}

// 10^(8q) for q = -2 ... 3, at q + 2.
constexpr double eighth_powers[8] = {1e-16, 1e-8, 1, 1e8, 1e16, 1e24, 0, 0};

// Rounds fraction * 2^(exponent - 24) to five significant digits, ties away
// from zero: a double estimate of the scaled value, exact where it is not
// within 1e-9 of a tie; the lanes that are get flagged. Zero lanes give zero.
DATALOG_AVX2 rounded_values round_values(__m256i fraction, __m256i exponent) {
    const __m256i zero = _mm256_cmpeq_epi32(fraction, _mm256_setzero_si256());
    // The fraction as a float, exactly (24 bits): its exponent field is 127 +
    // floor(log2 fraction).
    const __m256i float_bits = _mm256_castps_si256(_mm256_cvtepi32_ps(fraction));
    const __m256i power = _mm256_sub_epi32(exponent, _mm256_set1_epi32(24));
    const __m256i log2 = _mm256_add_epi32(
        power, _mm256_sub_epi32(_mm256_srli_epi32(float_bits, 23), _mm256_set1_epi32(127)));
    // floor(log10 value) is this or one more; 1233 / 4096 stands for log10(2),
    // exactly enough for every log2 here (-88 ... 62).
    const __m256i low_exponent =
        _mm256_srai_epi32(_mm256_mullo_epi32(log2, _mm256_set1_epi32(1233)), 12);
    // The value is scaled by 10^n = 10^(8q) * 10^r with n = 4 - low_exponent
    // (-14 ... 31), q = -2 ... 3 and r = 0 ... 7; 2^power goes into the
    // exponent field of 10^(8q), exactly.
    const __m256i n = _mm256_sub_epi32(_mm256_set1_epi32(4), low_exponent);
    const __m256i q_index = _mm256_add_epi32(_mm256_srai_epi32(n, 3), _mm256_set1_epi32(2));
    const __m256 small_powers = _mm256_setr_ps(1, 10, 100, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f);
    const __m256 tens =
        _mm256_permutevar8x32_ps(small_powers, _mm256_and_si256(n, _mm256_set1_epi32(7)));
    __m256d eighth[2];
    look_up(make_double_table(eighth_powers), q_index, &eighth[0], &eighth[1]);

    __m128i digit_halves[2];
    int near_tie = 0, above = 0;
    for (int half = 0; half < 2; ++half) {
        const __m128i fraction_half =
            half == 0 ? _mm256_castsi256_si128(fraction) : _mm256_extracti128_si256(fraction, 1);
        const __m128i power_half =
            half == 0 ? _mm256_castsi256_si128(power) : _mm256_extracti128_si256(power, 1);
        const __m128 tens_half =
            half == 0 ? _mm256_castps256_ps128(tens) : _mm256_extractf128_ps(tens, 1);
        const __m256d scale = _mm256_castsi256_pd(
            _mm256_add_epi64(_mm256_castpd_si256(eighth[half]),
                             _mm256_slli_epi64(_mm256_cvtepi32_epi64(power_half), 52)));
        // The value times 10^(4 - low_exponent): from 10^4 up to below 10^6.
        const __m256d scaled = _mm256_mul_pd(
            _mm256_mul_pd(_mm256_cvtepi32_pd(fraction_half), scale), _mm256_cvtps_pd(tens_half));
        // From 99999.5 up the five digits are 1.0000 times the next power of
        // ten either way; the cut at 99999.75 lies clear of the estimate's error.
        const __m256d high = _mm256_cmp_pd(scaled, _mm256_set1_pd(99999.75), _CMP_GE_OQ);
        const __m256d rounded = _mm256_add_pd(
            _mm256_blendv_pd(scaled, _mm256_mul_pd(scaled, _mm256_set1_pd(0.1)), high),
            _mm256_set1_pd(0.5));
        digit_halves[half] = _mm256_cvttpd_epi32(rounded);
        const __m256d part = _mm256_sub_pd(rounded, _mm256_cvtepi32_pd(digit_halves[half]));
        const __m256d near =
            _mm256_or_pd(_mm256_cmp_pd(part, _mm256_set1_pd(1e-9), _CMP_LT_OQ),
                         _mm256_cmp_pd(part, _mm256_set1_pd(1 - 1e-9), _CMP_GT_OQ));
        near_tie |= _mm256_movemask_pd(near) << (4 * half);
        above |= _mm256_movemask_pd(high) << (4 * half);
    }
    __m256i digits = _mm256_set_m128i(digit_halves[1], digit_halves[0]);
    const __m256i above_lanes = _mm256_cmpgt_epi32(
        _mm256_and_si256(_mm256_set1_epi32(above), _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128)),
        _mm256_setzero_si256());
    // Rounded up to the next power of ten.
    const __m256i carry = _mm256_cmpeq_epi32(digits, _mm256_set1_epi32(100000));
    digits = _mm256_blendv_epi8(digits, _mm256_set1_epi32(10000), carry);
    const __m256i decimal_exponent =
        _mm256_sub_epi32(_mm256_sub_epi32(low_exponent, above_lanes), carry);
    const int zero_lanes = _mm256_movemask_ps(_mm256_castsi256_ps(zero));
    return {_mm256_andnot_si256(zero, digits), _mm256_andnot_si256(zero, decimal_exponent),
            near_tie & ~zero_lanes};
}

// The 13 characters ", ±d.ddddE±dd" of each lane, stored at out + 13 * lane,
// each with a 16-byte store: the last writes 3 bytes past the 104.
DATALOG_AVX2 void store_texts(__m256i digits, __m256i exponent, __m256i negative, char* out) {
    // digits / 10^4, exactly: the float error stays far below the 5e-5 added.
    const __m256i first = _mm256_cvttps_epi32(_mm256_add_ps(
        _mm256_mul_ps(_mm256_cvtepi32_ps(digits), _mm256_set1_ps(1e-4f)), _mm256_set1_ps(5e-5f)));
    const __m256i rest =
        _mm256_sub_epi32(digits, _mm256_mullo_epi32(first, _mm256_set1_epi32(10000)));
    // rest = 100 * high + low in 16-bit halves, then each as tens and ones.
    const __m256i high = _mm256_srli_epi16(_mm256_mulhi_epu16(rest, _mm256_set1_epi16(5243)), 3);
    const __m256i low = _mm256_sub_epi16(rest, _mm256_mullo_epi16(high, _mm256_set1_epi16(100)));
    const __m256i pairs = _mm256_or_si256(high, _mm256_slli_epi32(low, 16));
    const __m256i tens = _mm256_mulhi_epu16(pairs, _mm256_set1_epi16(6554));
    const __m256i ones = _mm256_sub_epi16(pairs, _mm256_mullo_epi16(tens, _mm256_set1_epi16(10)));
    const __m256i decimals =
        _mm256_add_epi8(_mm256_or_si256(tens, _mm256_slli_epi16(ones, 8)), _mm256_set1_epi8('0'));
    // ", " and the sign ('-' is '+' + 2) and the first digit.
    const __m256i head =
        _mm256_add_epi32(_mm256_set1_epi32(0x302B202C),
                         _mm256_add_epi32(_mm256_and_si256(negative, _mm256_set1_epi32(0x20000)),
                                          _mm256_slli_epi32(first, 24)));
    // "E", the exponent's sign and two digits.
    const __m256i magnitude = _mm256_abs_epi32(exponent);
    const __m256i exponent_tens = _mm256_mulhi_epu16(magnitude, _mm256_set1_epi16(6554));
    const __m256i exponent_ones =
        _mm256_sub_epi32(magnitude, _mm256_mullo_epi16(exponent_tens, _mm256_set1_epi16(10)));
    const __m256i exponent_text = _mm256_add_epi32(
        _mm256_add_epi32(
            _mm256_set1_epi32(0x30302B45),
            _mm256_and_si256(_mm256_srai_epi32(exponent, 31), _mm256_set1_epi32(0x200))),
        _mm256_or_si256(_mm256_slli_epi32(exponent_tens, 16),
                        _mm256_slli_epi32(exponent_ones, 24)));

    // Lane i as head, decimals, exponent text: lanes 0 and 4 in v[0], 1 and 5
    // in v[1], and so on; then the point goes in after the head.
    const __m256i head_decimals[2] = {_mm256_unpacklo_epi32(head, decimals),
                                      _mm256_unpackhi_epi32(head, decimals)};
    const __m256i exponents[2] = {_mm256_unpacklo_epi32(exponent_text, _mm256_setzero_si256()),
                                  _mm256_unpackhi_epi32(exponent_text, _mm256_setzero_si256())};
    const __m256i order = _mm256_setr_epi8(0, 1, 2, 3, -1, 4, 5, 6, 7, 8, 9, 10, 11, -1, -1, -1,  //
                                           0, 1, 2, 3, -1, 4, 5, 6, 7, 8, 9, 10, 11, -1, -1, -1);
    const __m256i point = _mm256_setr_epi8(0, 0, 0, 0, '.', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  //
                                           0, 0, 0, 0, '.', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    __m256i v[4];
    for (int j = 0; j < 2; ++j) {
        v[2 * j] = _mm256_unpacklo_epi64(head_decimals[j], exponents[j]);
        v[2 * j + 1] = _mm256_unpackhi_epi64(head_decimals[j], exponents[j]);
    }
    for (__m256i& text : v) text = _mm256_or_si256(_mm256_shuffle_epi8(text, order), point);
    for (int i = 0; i < 4; ++i)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 13 * i), _mm256_castsi256_si128(v[i]));
    for (int i = 0; i < 4; ++i)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 13 * (i + 4)),
                         _mm256_extracti128_si256(v[i], 1));
}

}  // namespace

DATALOG_AVX2 void format_eight_values_avx2(const char* chars, char* out) {
    const __m256i bytes = packed_bytes(chars);
    // Byte 0: sign in bit 0, a 7-bit two's-complement exponent in bits 7-1;
    // bytes 1-3: the fraction, most significant first.
    const __m256i negative = _mm256_srai_epi32(_mm256_slli_epi32(bytes, 31), 31);
    const __m256i exponent = _mm256_srai_epi32(_mm256_slli_epi32(bytes, 24), 25);
    const __m256i fraction = _mm256_shuffle_epi8(
        bytes, _mm256_setr_epi8(3, 2, 1, -1, 7, 6, 5, -1, 11, 10, 9, -1, 15, 14, 13, -1,  //
                                3, 2, 1, -1, 7, 6, 5, -1, 11, 10, 9, -1, 15, 14, 13, -1));
    const rounded_values rounded = round_values(fraction, exponent);
    store_texts(rounded.digits, rounded.exponent, negative, out);
    // The rare value within 1e-9 of a rounding tie is rounded exactly.
    for (int near = rounded.near_tie; near != 0; near &= near - 1) {
        const int i = __builtin_ctz(static_cast<unsigned>(near));
        const packed_fields value = decode_packed_fields(chars + packed_value_length * i);
        format_fraction(value.negative, value.fraction, value.exponent, out + 13 * i + 2);
    }
}

bool avx2_values_available() {
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
}

#else

bool avx2_values_available() {
    return false;
}

void format_eight_values_avx2(const char*, char*) {}

#endif

}  // namespace datalog
