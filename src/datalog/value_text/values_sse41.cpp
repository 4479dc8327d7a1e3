// Four of a record's values in one pass of 128-bit vectors, for processors
// with SSE4.1 but not AVX2 (many field laptops' Atom, Celeron and Pentium
// processors, and older Core ones): the AVX2 path's steps, half as wide, with
// the rare near-tie lane handed to the exact scalar formatter.
#include <cstddef>
#include <cstdint>

#include "datalog/datalog_format.h"
#include "datalog/value_text/value_text.h"
#include "datalog/value_text/vector_constants.h"
#include "datalog/value_text/vector_intrinsics.h"
#include "datalog/value_text/vector_support.h"
#include "datalog/value_text/vector_values.h"

namespace datalog {

#if DATALOG_VECTOR_PATHS

// Only these functions use SSSE3 and SSE4.1; the rest of the program runs on
// any x86 processor the build targets (SSE2 for the 32-bit Windows program).
#define DATALOG_SSE41 __attribute__((target("ssse3,sse4.1")))

namespace {

using namespace vector_constants;

// Each character's hexadecimal digit value: '0'-'9', 'A'-'F' and 'a'-'f' give
// 0-15, every other character 0.
DATALOG_SSE41 __m128i hex_digit_values(__m128i chars) {
    const __m128i digit = _mm_sub_epi8(chars, _mm_set1_epi8('0'));
    const __m128i is_digit = _mm_cmpeq_epi8(_mm_min_epu8(digit, _mm_set1_epi8(9)), digit);
    // Only 'A'-'F' and 'a'-'f' become 'a'-'f' with bit 5 set.
    const __m128i letter =
        _mm_sub_epi8(_mm_or_si128(chars, _mm_set1_epi8(0x20)), _mm_set1_epi8('a'));
    const __m128i is_letter = _mm_cmpeq_epi8(_mm_min_epu8(letter, _mm_set1_epi8(5)), letter);
    return _mm_or_si128(_mm_and_si128(is_digit, digit),
                        _mm_and_si128(is_letter, _mm_add_epi8(letter, _mm_set1_epi8(10))));
}

// The four bytes of each of the four packed values, one value per 32-bit lane.
DATALOG_SSE41 __m128i packed_bytes(const char* chars) {
    // Each pair of characters, low nibble first, gives one byte.
    const __m128i pair_weights = _mm_set1_epi16(0x1001);
    const __m128i first = _mm_maddubs_epi16(
        hex_digit_values(_mm_loadu_si128(reinterpret_cast<const __m128i*>(chars))), pair_weights);
    const __m128i second = _mm_maddubs_epi16(
        hex_digit_values(_mm_loadu_si128(reinterpret_cast<const __m128i*>(chars + 16))),
        pair_weights);
    return _mm_packus_epi16(first, second);
}

struct rounded_values {
    __m128i digits;    // the five significant digits, or 0 for a zero value
    __m128i exponent;  // the decimal exponent
    int near_tie;      // lanes whose rounding the double estimate cannot decide
};

// 10^r as a float for each lane's r (0-7): a byte lookup in the table's two
// halves, then the half that r's bit 2 chooses.
DATALOG_SSE41 __m128 small_powers(__m128i r) {
    const __m128i table_low =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(small_powers_of_ten));
    const __m128i table_high =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(small_powers_of_ten + 4));
    // Byte j of lane i reads byte 4 * (r & 3) + j of a half.
    const __m128i bytes = _mm_add_epi8(
        _mm_shuffle_epi8(_mm_slli_epi32(_mm_and_si128(r, _mm_set1_epi32(3)), 2),
                         _mm_setr_epi8(0, 0, 0, 0, 4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12)),
        _mm_set1_epi32(0x03020100));
    const __m128i high = _mm_cmpgt_epi32(_mm_and_si128(r, _mm_set1_epi32(4)), _mm_setzero_si128());
    return _mm_castsi128_ps(_mm_blendv_epi8(_mm_shuffle_epi8(table_low, bytes),
                                            _mm_shuffle_epi8(table_high, bytes), high));
}

// Rounds two values, each exactly as a float in the low lanes of `value`,
// times 10^(8q) and 10^r, to five digits: within three roundings of the exact
// product, below 10^6. Returns the digits in the low two 32-bit lanes.
DATALOG_SSE41 __m128i round_two_lanes(__m128 value, __m128d eighth_power, __m128 small_power,
                                      __m128d* above, int* near_tie) {
    const __m128d scaled =
        _mm_mul_pd(_mm_mul_pd(_mm_cvtps_pd(value), eighth_power), _mm_cvtps_pd(small_power));
    *above = _mm_cmpge_pd(scaled, _mm_set1_pd(next_power_cut));
    const __m128d digits = _mm_blendv_pd(scaled, _mm_mul_pd(scaled, _mm_set1_pd(0.1)), *above);
    // Rounding the estimate is right but within the near-tie window of a half.
    const __m128d rounded = _mm_round_pd(digits, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    const __m128d distance = _mm_andnot_pd(_mm_set1_pd(-0.0), _mm_sub_pd(digits, rounded));
    *near_tie = _mm_movemask_pd(_mm_cmpgt_pd(distance, _mm_set1_pd(0.5 - near_tie_window)));
    return _mm_cvttpd_epi32(rounded);
}

// Rounds fraction * 2^(exponent - 24) to five significant digits, ties away
// from zero, but for the lanes flagged near a tie. Zero lanes give zero.
DATALOG_SSE41 rounded_values round_values(__m128i fraction, __m128i exponent) {
    const __m128i zero = _mm_cmpeq_epi32(fraction, _mm_setzero_si128());
    // The fraction as a float, exactly (24 bits), with the power added to its
    // exponent field, exactly (2^-88 ... 2^63).
    const __m128i power = _mm_sub_epi32(exponent, _mm_set1_epi32(24));
    const __m128i value =
        _mm_add_epi32(_mm_castps_si128(_mm_cvtepi32_ps(fraction)), _mm_slli_epi32(power, 23));
    // floor(log10 value) is this or one more: (biased log2 - 127) * 1233 / 4096.
    const __m128i low_exponent = _mm_srai_epi32(
        _mm_sub_epi32(_mm_madd_epi16(_mm_srli_epi32(value, 23), _mm_set1_epi32(log10_2_times_4096)),
                      _mm_set1_epi32(127 * log10_2_times_4096)),
        12);
    // The value times 10^n, n = 4 - low_exponent: index n + 16 gives q + 2 in
    // bits 5-3 and r in bits 2-0.
    const __m128i index = _mm_sub_epi32(_mm_set1_epi32(power_index_base), low_exponent);
    const __m128 small = small_powers(index);
    // (Zero lanes' index is arbitrary: only bits 5-3 are read, as the table's 8 entries.)
    const __m128i q = _mm_and_si128(_mm_srli_epi32(index, 3), _mm_set1_epi32(7));
    const __m128d eighth_low = _mm_setr_pd(eighth_powers_of_ten[_mm_cvtsi128_si32(q)],
                                           eighth_powers_of_ten[_mm_extract_epi32(q, 1)]);
    const __m128d eighth_high = _mm_setr_pd(eighth_powers_of_ten[_mm_extract_epi32(q, 2)],
                                            eighth_powers_of_ten[_mm_extract_epi32(q, 3)]);

    __m128d above[2];
    int near_tie[2];
    const __m128 value_float = _mm_castsi128_ps(value);
    const __m128i low_digits =
        round_two_lanes(value_float, eighth_low, small, &above[0], &near_tie[0]);
    const __m128i high_digits =
        round_two_lanes(_mm_movehl_ps(value_float, value_float), eighth_high,
                        _mm_movehl_ps(small, small), &above[1], &near_tie[1]);
    __m128i digits = _mm_unpacklo_epi64(low_digits, high_digits);
    // Each 64-bit mask's low half, one per 32-bit lane.
    const __m128i above_lanes = _mm_castps_si128(
        _mm_shuffle_ps(_mm_castpd_ps(above[0]), _mm_castpd_ps(above[1]), _MM_SHUFFLE(2, 0, 2, 0)));
    // Rounded up to the next power of ten.
    const __m128i carry = _mm_cmpeq_epi32(digits, _mm_set1_epi32(100000));
    digits = _mm_blendv_epi8(digits, _mm_set1_epi32(10000), carry);
    const __m128i decimal_exponent = _mm_sub_epi32(_mm_sub_epi32(low_exponent, above_lanes), carry);
    const int zero_lanes = _mm_movemask_ps(_mm_castsi128_ps(zero));
    return {_mm_andnot_si128(zero, digits), _mm_andnot_si128(zero, decimal_exponent),
            (near_tie[0] | near_tie[1] << 2) & ~zero_lanes};
}

// The 13 characters ", ±d.ddddE±dd" of each lane, stored at out + 13 * lane,
// each with a 16-byte store: the last writes 3 bytes past the 52.
DATALOG_SSE41 void store_texts(__m128i digits, __m128i exponent, __m128i negative, char* out) {
    // The first digit, digits / 10^4, as (digits / 16) / 625 in 16-bit fixed
    // point (exact below 10^5); the other four as 100 * high + low, each split
    // into tens and ones, in the 16-bit halves of each lane.
    const __m128i first = _mm_srli_epi16(
        _mm_mulhi_epu16(_mm_srli_epi32(digits, 4), _mm_set1_epi16(first_digit_multiplier)), 6);
    const __m128i rest = _mm_sub_epi32(digits, _mm_madd_epi16(first, _mm_set1_epi32(10000)));
    const __m128i hundreds =
        _mm_srli_epi16(_mm_mulhi_epu16(rest, _mm_set1_epi16(hundreds_multiplier)), 3);
    const __m128i pairs = _mm_or_si128(
        hundreds,
        _mm_slli_epi32(_mm_sub_epi32(rest, _mm_madd_epi16(hundreds, _mm_set1_epi32(100))), 16));
    const __m128i tens = _mm_mulhi_epu16(pairs, _mm_set1_epi16(tens_multiplier));
    const __m128i ones = _mm_sub_epi16(pairs, _mm_maddubs_epi16(tens, _mm_set1_epi16(10)));
    const __m128i decimals =
        _mm_add_epi16(_mm_or_si128(tens, _mm_slli_epi16(ones, 8)), _mm_set1_epi16(0x3030));
    // ", " and the sign ('-' is '+' + 2) and the first digit.
    const __m128i head = _mm_add_epi32(
        _mm_set1_epi32(entry_head),
        _mm_add_epi32(_mm_and_si128(negative, _mm_set1_epi32(0x20000)), _mm_slli_epi32(first, 24)));
    // "E", the exponent's sign and two digits.
    const __m128i magnitude = _mm_abs_epi32(exponent);
    const __m128i exponent_tens = _mm_mulhi_epu16(magnitude, _mm_set1_epi16(tens_multiplier));
    const __m128i exponent_ones =
        _mm_sub_epi32(magnitude, _mm_madd_epi16(exponent_tens, _mm_set1_epi32(10)));
    const __m128i exponent_text = _mm_add_epi32(
        _mm_add_epi32(_mm_set1_epi32(0x30302B45),
                      _mm_and_si128(_mm_srai_epi32(exponent, 31), _mm_set1_epi32(0x200))),
        _mm_or_si128(_mm_slli_epi32(exponent_tens, 16), _mm_slli_epi32(exponent_ones, 24)));

    // Lane i as head, decimals, exponent text and "....", then a point goes
    // in after the head.
    const __m128i points = _mm_set1_epi8('.');
    const __m128i head_decimals[2] = {_mm_unpacklo_epi32(head, decimals),
                                      _mm_unpackhi_epi32(head, decimals)};
    const __m128i exponents[2] = {_mm_unpacklo_epi32(exponent_text, points),
                                  _mm_unpackhi_epi32(exponent_text, points)};
    const __m128i order = _mm_setr_epi8(0, 1, 2, 3, 12, 4, 5, 6, 7, 8, 9, 10, 11, -1, -1, -1);
    for (int j = 0; j < 2; ++j) {
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(out + value_entry_length * (2 * j)),
            _mm_shuffle_epi8(_mm_unpacklo_epi64(head_decimals[j], exponents[j]), order));
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(out + value_entry_length * (2 * j + 1)),
            _mm_shuffle_epi8(_mm_unpackhi_epi64(head_decimals[j], exponents[j]), order));
    }
}

// Four values; inlined into the loop below. Returns how many it handed to
// the exact scaling.
DATALOG_SSE41 inline __attribute__((always_inline)) unsigned format_four(const char* chars,
                                                                         char* out) {
    const __m128i bytes = packed_bytes(chars);
    // Byte 0: sign in bit 0, a 7-bit two's-complement exponent in bits 7-1;
    // bytes 1-3: the fraction, most significant first.
    const __m128i negative = _mm_srai_epi32(_mm_slli_epi32(bytes, 31), 31);
    const __m128i exponent = _mm_srai_epi32(_mm_slli_epi32(bytes, 24), 25);
    const __m128i fraction = _mm_shuffle_epi8(
        bytes, _mm_setr_epi8(3, 2, 1, -1, 7, 6, 5, -1, 11, 10, 9, -1, 15, 14, 13, -1));
    const rounded_values rounded = round_values(fraction, exponent);
    store_texts(rounded.digits, rounded.exponent, negative, out);
    return reformat_near_ties(chars, static_cast<unsigned>(rounded.near_tie), out);
}

}  // namespace

DATALOG_SSE41 unsigned format_values_sse41(const char* chars, unsigned count, char* out) {
    unsigned handed = 0;
    const unsigned groups = count / 4;
    for (unsigned g = 0; g < groups; ++g)
        handed +=
            format_four(chars + 4 * packed_value_length * g, out + 4 * value_entry_length * g);
    // The scalar path overwrites what the last group wrote past its text.
    const unsigned done = 4 * groups;
    return handed + format_values_scalar(chars + packed_value_length * done, count - done,
                                         out + value_entry_length * done);
}

bool sse41_values_available() {
    return processor_vector_support().sse41;
}

#else

bool sse41_values_available() {
    return false;
}

unsigned format_values_sse41(const char*, unsigned, char*) {
    return 0;
}

#endif

}  // namespace datalog
