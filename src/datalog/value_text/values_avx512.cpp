// A record's values, up to 16, in one pass of 512-bit vectors: decoding,
// rounding to five digits and the text, with the rare near-tie lane handed to
// the exact scalar formatter.
#include <cstdint>

#include "datalog/datalog_format.h"
#include "datalog/value_text/value_text.h"
#include "datalog/value_text/values_avx512_tables.h"
#include "datalog/value_text/vector_constants.h"
#include "datalog/value_text/vector_intrinsics.h"
#include "datalog/value_text/vector_support.h"
#include "datalog/value_text/vector_values.h"

namespace datalog {

#if DATALOG_VECTOR_PATHS

#define DATALOG_AVX512 __attribute__((target("avx512f,avx512bw,avx512dq,avx512vl,avx512vbmi")))

namespace {

using namespace avx512_tables;
using namespace vector_constants;

DATALOG_AVX512 __m512i load(const void* p) {
    return _mm512_loadu_si512(p);
}

// A 64-bit mask moved in as two halves: 32-bit code has no 64-bit move into a
// mask register, and a mask it builds on the stack stalls the load that reads it.
DATALOG_AVX512 __mmask64 mask_of(std::uint64_t bits) {
    return _mm512_kunpackd(_cvtu32_mask32(static_cast<std::uint32_t>(bits >> 32)),
                           _cvtu32_mask32(static_cast<std::uint32_t>(bits)));
}

DATALOG_AVX512 __mmask64 first_bytes(unsigned n) {
    return mask_of(n >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1);
}

// The bytes of each value, one value per 32-bit lane as b0 << 24 | b1 << 16 |
// b2 << 8 | b3: the fraction in the low 24 bits, sign and exponent on top.
DATALOG_AVX512 __m512i packed_words(const char* chars, unsigned count) {
    const unsigned length = packed_value_length * count;
    const __m512i table_low = load(hex_values.values), table_high = load(hex_values.values + 64);
    __m512i pairs[2];
    for (int half = 0; half < 2; ++half) {
        const unsigned before = 64 * half;
        const __m512i text = _mm512_maskz_loadu_epi8(
            first_bytes(length > before ? length - before : 0), chars + before);
        // Characters from 128 up read as 127, no digit.
        const __m512i digits = _mm512_permutex2var_epi8(
            table_low, _mm512_min_epu8(text, _mm512_set1_epi8(127)), table_high);
        // Each pair of characters, low nibble first, gives one byte.
        pairs[half] = _mm512_maddubs_epi16(digits, _mm512_set1_epi16(0x1001));
    }
    return _mm512_permutex2var_epi8(pairs[0], load(word_order.bytes), pairs[1]);
}

struct rounded_lanes {
    __m512i digits;     // the five digits, rounded from the estimate, in the low
                        // half of each 64-bit lane
    __mmask8 above;     // lanes rounded at the next power of ten
    __mmask8 near_tie;  // lanes whose rounding the estimate cannot decide
};

// Rounds eight values to five digits, given each value exactly as a float and
// the index n + 16 of the power 10^n that brings it to 10^4 ... 10^6 (q + 2
// in bits 5-3, r in bits 2-0).
DATALOG_AVX512 rounded_lanes round_eight_lanes(__m256 value, __m256i power_index) {
    const __m512i index = _mm512_cvtepu32_epi64(power_index);
    // value * 10^n within three roundings (relative 3.4e-16), below 10^6.
    const __m512d scaled = _mm512_mul_pd(
        _mm512_mul_pd(_mm512_cvtps_pd(value),
                      _mm512_permutexvar_pd(_mm512_srli_epi64(index, 3),
                                            _mm512_loadu_pd(eighth_powers_of_ten))),
        _mm512_permutexvar_pd(index, _mm512_cvtps_pd(_mm256_loadu_ps(small_powers_of_ten))));
    const __mmask8 above = _mm512_cmp_pd_mask(scaled, _mm512_set1_pd(next_power_cut), _CMP_GE_OQ);
    const __m512d digits = _mm512_mask_mul_pd(scaled, above, scaled, _mm512_set1_pd(0.1));
    // Rounding the estimate is right but within the near-tie window of a half.
    const __m512d part = _mm512_reduce_pd(digits, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    const __mmask8 near =
        _mm512_cmp_pd_mask(_mm512_abs_pd(part), _mm512_set1_pd(0.5 - near_tie_window), _CMP_GT_OQ);
    // Adding 1.5 * 2^52 rounds to an integer, which the low 32 bits then hold.
    const __m512d rounded = _mm512_add_round_pd(digits, _mm512_set1_pd(6755399441055744.0),
                                                _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    return {_mm512_castpd_si512(rounded), above, near};
}

struct rounded_values {
    __m512i digits;      // the five significant digits, or 0 for a zero value
    __m512i exponent;    // the decimal exponent
    __mmask16 near_tie;  // lanes whose rounding the double estimate cannot decide
};

// Rounds fraction * 2^(exponent - 24) to five significant digits, ties away
// from zero, but for the lanes flagged near a tie. Zero lanes give zero.
DATALOG_AVX512 rounded_values round_values(__m512i fraction, __m512i exponent) {
    const __mmask16 zero = _mm512_testn_epi32_mask(fraction, fraction);
    // The fraction as a float, exactly (24 bits), has 127 + floor(log2
    // fraction) in its exponent field; the value fraction * 2^(exponent - 24)
    // is that float with the power added there, exactly (2^-88 ... 2^63).
    const __m512i fraction_float = _mm512_castps_si512(_mm512_cvtepi32_ps(fraction));
    const __m512i power = _mm512_sub_epi32(exponent, _mm512_set1_epi32(24));
    const __m512i value = _mm512_add_epi32(fraction_float, _mm512_slli_epi32(power, 23));
    const __m512i log2 = _mm512_sub_epi32(_mm512_srli_epi32(value, 23), _mm512_set1_epi32(127));
    // floor(log10 value) is this or one more.
    __m512i decimal_exponent =
        _mm512_srai_epi32(_mm512_mullo_epi32(log2, _mm512_set1_epi32(log10_2_times_4096)), 12);
    // The value times 10^n, n = 4 - decimal_exponent, from 10^4 up to below
    // 10^6. Index n + 16 (2 ... 47) gives q + 2 in bits 5-3 and r in bits 2-0;
    // zero lanes may read anything.
    const __m512i power_index =
        _mm512_sub_epi32(_mm512_set1_epi32(power_index_base), decimal_exponent);
    const rounded_lanes low = round_eight_lanes(_mm256_castsi256_ps(_mm512_castsi512_si256(value)),
                                                _mm512_castsi512_si256(power_index));
    const rounded_lanes high =
        round_eight_lanes(_mm256_castsi256_ps(_mm512_extracti64x4_epi64(value, 1)),
                          _mm512_extracti64x4_epi64(power_index, 1));
    const __mmask16 near_tie = _mm512_kunpackb(high.near_tie, low.near_tie);
    const __mmask16 above = _mm512_kunpackb(high.above, low.above);
    __m512i digits = _mm512_permutex2var_epi32(low.digits, load(even_words.indices), high.digits);
    // The lanes scaled down by ten have the next decimal exponent.
    decimal_exponent =
        _mm512_mask_add_epi32(decimal_exponent, above, decimal_exponent, _mm512_set1_epi32(1));
    // Rounded up to the next power of ten.
    const __mmask16 carry = _mm512_cmpeq_epi32_mask(digits, _mm512_set1_epi32(100000));
    digits = _mm512_mask_mov_epi32(digits, carry, _mm512_set1_epi32(10000));
    decimal_exponent =
        _mm512_mask_add_epi32(decimal_exponent, carry, decimal_exponent, _mm512_set1_epi32(1));
    const __mmask16 nonzero = static_cast<__mmask16>(~zero);
    return {_mm512_maskz_mov_epi32(nonzero, digits),
            _mm512_maskz_mov_epi32(nonzero, decimal_exponent),
            static_cast<__mmask16>(near_tie & nonzero)};
}

// The 13 characters ", ±d.ddddE±dd" of the first `count` lanes, stored at
// out + 13 * lane, four lanes (52 characters) a store, none past the last.
DATALOG_AVX512 void store_texts(__m512i digits, __m512i exponent, __mmask16 negative,
                                unsigned count, char* out) {
    // The first digit, digits / 10^4, as (digits / 16) / 625 in 16-bit fixed
    // point (exact below 10^5); the other four as 100 * high + low, each split
    // into tens and ones, in the 16-bit halves of each lane.
    const __m512i first = _mm512_srli_epi16(
        _mm512_mulhi_epu16(_mm512_srli_epi32(digits, 4), _mm512_set1_epi16(first_digit_multiplier)),
        6);
    const __m512i rest =
        _mm512_sub_epi32(digits, _mm512_madd_epi16(first, _mm512_set1_epi32(10000)));
    const __m512i hundreds =
        _mm512_srli_epi16(_mm512_mulhi_epu16(rest, _mm512_set1_epi16(hundreds_multiplier)), 3);
    const __m512i pairs = _mm512_or_si512(
        hundreds,
        _mm512_slli_epi32(
            _mm512_sub_epi32(rest, _mm512_madd_epi16(hundreds, _mm512_set1_epi32(100))), 16));
    const __m512i tens = _mm512_mulhi_epu16(pairs, _mm512_set1_epi16(tens_multiplier));
    const __m512i ones = _mm512_sub_epi16(pairs, _mm512_maddubs_epi16(tens, _mm512_set1_epi16(10)));
    const __m512i decimals = _mm512_add_epi16(_mm512_or_si512(tens, _mm512_slli_epi16(ones, 8)),
                                              _mm512_set1_epi16(0x3030));
    // ", " and the sign ('-' is '+' + 2) and the first digit.
    const __m512i plus_head =
        _mm512_add_epi32(_mm512_set1_epi32(entry_head), _mm512_slli_epi32(first, 24));
    const __m512i head =
        _mm512_mask_add_epi32(plus_head, negative, plus_head, _mm512_set1_epi32(0x20000));
    // "E", the exponent's sign and two digits, from the table of every exponent.
    const __m512i exponent_index =
        _mm512_add_epi32(exponent, _mm512_set1_epi32(-min_decimal_exponent));
    const __m512i exponent_text = _mm512_mask_permutexvar_epi32(
        _mm512_permutex2var_epi32(load(exponent_table.words), exponent_index,
                                  load(exponent_table.words + 16)),
        _mm512_cmpge_epi32_mask(exponent_index, _mm512_set1_epi32(32)), exponent_index,
        load(exponent_table.words + 32));

    const unsigned length = value_entry_length * count;
    const __mmask64 exponent_mask = _mm512_movepi8_mask(load(exponent_bytes.bytes));
    const __mmask64 point_mask = _mm512_movepi8_mask(load(point_bytes.bytes));
    for (unsigned chunk = 0; 52 * chunk < length; ++chunk) {
        __m512i text = _mm512_permutex2var_epi8(
            head, load(text_sources.from_head_and_decimals[chunk]), decimals);
        text = _mm512_mask_permutexvar_epi8(text, exponent_mask,
                                            load(text_sources.from_exponent[chunk]), exponent_text);
        text = _mm512_mask_mov_epi8(text, point_mask, _mm512_set1_epi8('.'));
        const unsigned left = length - 52 * chunk;
        _mm512_mask_storeu_epi8(out + 52 * chunk, first_bytes(left < 52 ? left : 52), text);
    }
}

}  // namespace

DATALOG_AVX512 unsigned format_values_avx512(const char* chars, unsigned count, char* out) {
    const __m512i words = packed_words(chars, count);
    // Bits 31-25: a 7-bit two's-complement exponent; bit 24: the sign; bits
    // 23-0: the fraction.
    const __mmask16 negative = _mm512_test_epi32_mask(words, _mm512_set1_epi32(1 << 24));
    const __m512i exponent = _mm512_srai_epi32(words, 25);
    const __m512i fraction = _mm512_and_si512(words, _mm512_set1_epi32(0xFFFFFF));
    const rounded_values rounded = round_values(fraction, exponent);
    store_texts(rounded.digits, rounded.exponent, negative, count, out);
    const unsigned counted = (1u << count) - 1;
    return reformat_near_ties(chars, _cvtmask16_u32(rounded.near_tie) & counted, out);
}

bool avx512_values_available() {
    return processor_vector_support().avx512;
}

#else

bool avx512_values_available() {
    return false;
}

unsigned format_values_avx512(const char*, unsigned, char*) {
    return 0;
}

#endif

}  // namespace datalog
