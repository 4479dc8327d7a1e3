// Eight of a record's values in one pass of 256-bit vectors, for processors
// with AVX2 but not the 512-bit path's instructions: the same steps as that
// path, with the rare near-tie lane handed to the exact scalar formatter.
#include "datalog/value_text/vector_values.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "datalog/datalog_format.h"
#include "datalog/value_text/value_text.h"
#include "datalog/value_text/vector_constants.h"
#include "datalog/value_text/vector_intrinsics.h"
#include "datalog/value_text/vector_support.h"

namespace datalog {

#if DATALOG_VECTOR_PATHS

// Only these functions use AVX2; the rest of the program runs on any x86
// processor the build targets (SSE2 for the 32-bit Windows program).
#define DATALOG_AVX2 __attribute__((target("avx2")))

namespace {

using namespace vector_constants;

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

// Rounds four values, each exactly as a float, times 10^(8q) and 10^r, to
// five digits: within three roundings of the exact product, below 10^6.
DATALOG_AVX2 __m128i round_four_lanes(__m128 value, __m256d eighth_power, __m128 small_power,
                                      int* above, int* near_tie) {
    const __m256d scaled = _mm256_mul_pd(_mm256_mul_pd(_mm256_cvtps_pd(value), eighth_power),
                                         _mm256_cvtps_pd(small_power));
    const __m256d high = _mm256_cmp_pd(scaled, _mm256_set1_pd(next_power_cut), _CMP_GE_OQ);
    const __m256d digits =
        _mm256_blendv_pd(scaled, _mm256_mul_pd(scaled, _mm256_set1_pd(0.1)), high);
    // Rounding the estimate is right but within the near-tie window of a half.
    const __m256d rounded = _mm256_round_pd(digits, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    const __m256d distance = _mm256_andnot_pd(_mm256_set1_pd(-0.0), _mm256_sub_pd(digits, rounded));
    *above = _mm256_movemask_pd(high);
    *near_tie = _mm256_movemask_pd(
        _mm256_cmp_pd(distance, _mm256_set1_pd(0.5 - near_tie_window), _CMP_GT_OQ));
    return _mm256_cvttpd_epi32(rounded);
}

// Rounds fraction * 2^(exponent - 24) to five significant digits, ties away
// from zero, but for the lanes flagged near a tie. Zero lanes give zero.
DATALOG_AVX2 rounded_values round_values(__m256i fraction, __m256i exponent) {
    const __m256i zero = _mm256_cmpeq_epi32(fraction, _mm256_setzero_si256());
    // The fraction as a float, exactly (24 bits), has 127 + floor(log2
    // fraction) in its exponent field; the value is that float with the power
    // added there, exactly (2^-88 ... 2^63).
    const __m256i power = _mm256_sub_epi32(exponent, _mm256_set1_epi32(24));
    const __m256i value = _mm256_add_epi32(_mm256_castps_si256(_mm256_cvtepi32_ps(fraction)),
                                           _mm256_slli_epi32(power, 23));
    // floor(log10 value) is this or one more: (biased log2 - 127) * 1233 / 4096.
    const __m256i low_exponent = _mm256_srai_epi32(
        _mm256_sub_epi32(
            _mm256_madd_epi16(_mm256_srli_epi32(value, 23), _mm256_set1_epi32(log10_2_times_4096)),
            _mm256_set1_epi32(127 * log10_2_times_4096)),
        12);
    // The value times 10^n, n = 4 - low_exponent, from 10^4 up to below 10^6;
    // index n + 16 (2 ... 47) gives q + 2 in bits 5-3 and r in bits 2-0.
    const __m256i index = _mm256_sub_epi32(_mm256_set1_epi32(power_index_base), low_exponent);
    const __m256 small_powers = _mm256_loadu_ps(small_powers_of_ten);
    const __m256 small = _mm256_permutevar8x32_ps(small_powers, index);  // low 3 bits
    __m256d eighth[2];
    look_up(make_double_table(eighth_powers_of_ten), _mm256_srli_epi32(index, 3), &eighth[0],
            &eighth[1]);

    int above[2], near_tie[2];
    const __m256 value_float = _mm256_castsi256_ps(value);
    const __m128i low_digits =
        round_four_lanes(_mm256_castps256_ps128(value_float), eighth[0],
                         _mm256_castps256_ps128(small), &above[0], &near_tie[0]);
    const __m128i high_digits =
        round_four_lanes(_mm256_extractf128_ps(value_float, 1), eighth[1],
                         _mm256_extractf128_ps(small, 1), &above[1], &near_tie[1]);
    __m256i digits = _mm256_set_m128i(high_digits, low_digits);
    const __m256i above_lanes =
        _mm256_cmpgt_epi32(_mm256_and_si256(_mm256_set1_epi32(above[0] | above[1] << 4),
                                            _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128)),
                           _mm256_setzero_si256());
    // Rounded up to the next power of ten.
    const __m256i carry = _mm256_cmpeq_epi32(digits, _mm256_set1_epi32(100000));
    digits = _mm256_blendv_epi8(digits, _mm256_set1_epi32(10000), carry);
    const __m256i decimal_exponent =
        _mm256_sub_epi32(_mm256_sub_epi32(low_exponent, above_lanes), carry);
    const int zero_lanes = _mm256_movemask_ps(_mm256_castsi256_ps(zero));
    return {_mm256_andnot_si256(zero, digits), _mm256_andnot_si256(zero, decimal_exponent),
            (near_tie[0] | near_tie[1] << 4) & ~zero_lanes};
}

// The 13 characters ", ±d.ddddE±dd" of each lane, stored at out + 13 * lane,
// each with a 16-byte store: the last writes 3 bytes past the 104.
DATALOG_AVX2 void store_texts(__m256i digits, __m256i exponent, __m256i negative, char* out) {
    // The first digit, digits / 10^4, as (digits / 16) / 625 in 16-bit fixed
    // point (exact below 10^5); the other four as 100 * high + low, each split
    // into tens and ones, in the 16-bit halves of each lane.
    const __m256i first = _mm256_srli_epi16(
        _mm256_mulhi_epu16(_mm256_srli_epi32(digits, 4), _mm256_set1_epi16(first_digit_multiplier)),
        6);
    const __m256i rest =
        _mm256_sub_epi32(digits, _mm256_madd_epi16(first, _mm256_set1_epi32(10000)));
    const __m256i hundreds =
        _mm256_srli_epi16(_mm256_mulhi_epu16(rest, _mm256_set1_epi16(hundreds_multiplier)), 3);
    const __m256i pairs = _mm256_or_si256(
        hundreds,
        _mm256_slli_epi32(
            _mm256_sub_epi32(rest, _mm256_madd_epi16(hundreds, _mm256_set1_epi32(100))), 16));
    const __m256i tens = _mm256_mulhi_epu16(pairs, _mm256_set1_epi16(tens_multiplier));
    const __m256i ones = _mm256_sub_epi16(pairs, _mm256_maddubs_epi16(tens, _mm256_set1_epi16(10)));
    const __m256i decimals = _mm256_add_epi16(_mm256_or_si256(tens, _mm256_slli_epi16(ones, 8)),
                                              _mm256_set1_epi16(0x3030));
    // ", " and the sign ('-' is '+' + 2) and the first digit.
    const __m256i head =
        _mm256_add_epi32(_mm256_set1_epi32(entry_head),
                         _mm256_add_epi32(_mm256_and_si256(negative, _mm256_set1_epi32(0x20000)),
                                          _mm256_slli_epi32(first, 24)));
    // "E", the exponent's sign and two digits.
    const __m256i magnitude = _mm256_abs_epi32(exponent);
    const __m256i exponent_tens = _mm256_mulhi_epu16(magnitude, _mm256_set1_epi16(tens_multiplier));
    const __m256i exponent_ones =
        _mm256_sub_epi32(magnitude, _mm256_madd_epi16(exponent_tens, _mm256_set1_epi32(10)));
    const __m256i exponent_text = _mm256_add_epi32(
        _mm256_add_epi32(
            _mm256_set1_epi32(0x30302B45),
            _mm256_and_si256(_mm256_srai_epi32(exponent, 31), _mm256_set1_epi32(0x200))),
        _mm256_or_si256(_mm256_slli_epi32(exponent_tens, 16),
                        _mm256_slli_epi32(exponent_ones, 24)));

    // Lane i as head, decimals, exponent text and "....": lanes 0 and 4 in
    // v[0], 1 and 5 in v[1], and so on; then a point goes in after the head.
    const __m256i points = _mm256_set1_epi8('.');
    const __m256i head_decimals[2] = {_mm256_unpacklo_epi32(head, decimals),
                                      _mm256_unpackhi_epi32(head, decimals)};
    const __m256i exponents[2] = {_mm256_unpacklo_epi32(exponent_text, points),
                                  _mm256_unpackhi_epi32(exponent_text, points)};
    const __m256i order = _mm256_setr_epi8(0, 1, 2, 3, 12, 4, 5, 6, 7, 8, 9, 10, 11, -1, -1, -1,  //
                                           0, 1, 2, 3, 12, 4, 5, 6, 7, 8, 9, 10, 11, -1, -1, -1);
    __m256i v[4];
    for (int j = 0; j < 2; ++j) {
        v[2 * j] = _mm256_unpacklo_epi64(head_decimals[j], exponents[j]);
        v[2 * j + 1] = _mm256_unpackhi_epi64(head_decimals[j], exponents[j]);
    }
    for (__m256i& text : v) text = _mm256_shuffle_epi8(text, order);
    for (int i = 0; i < 4; ++i)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + value_entry_length * i),
                         _mm256_castsi256_si128(v[i]));
    for (int i = 0; i < 4; ++i)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + value_entry_length * (i + 4)),
                         _mm256_extracti128_si256(v[i], 1));
}

// Eight values; inlined into the loop below, which keeps its constants in
// registers from one group to the next. Returns how many it handed to the
// exact scaling.
DATALOG_AVX2 inline __attribute__((always_inline)) unsigned format_eight(const char* chars,
                                                                         char* out) {
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
    return reformat_near_ties(chars, static_cast<unsigned>(rounded.near_tie), out);
}

}  // namespace

DATALOG_AVX2 unsigned format_values_avx2(const char* chars, unsigned count, char* out) {
    unsigned handed = 0;
    const unsigned groups = count / 8;
    for (unsigned g = 0; g < groups; ++g)
        handed +=
            format_eight(chars + 8 * packed_value_length * g, out + 8 * value_entry_length * g);
    // The scalar path overwrites what the last group wrote past its text.
    const unsigned done = 8 * groups;
    return handed + format_values_scalar(chars + packed_value_length * done, count - done,
                                         out + value_entry_length * done);
}

bool avx2_values_available() {
    return processor_vector_support().avx2;
}

#else

bool avx2_values_available() {
    return false;
}

unsigned format_values_avx2(const char*, unsigned, char*) {
    return 0;
}

#endif

}  // namespace datalog
