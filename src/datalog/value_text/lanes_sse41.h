// Four 32-bit lanes in 128-bit vectors with SSSE3 and SSE4.1, for
// vector_kernel.h. No include guard: values_sse41.cpp includes it once,
// inside its SSE4.1 target region and namespace.

using namespace vector_constants;

using vec = __m128i;
using fvec = __m128;
constexpr unsigned lane_count = 4;

// The lane-wise operations, one a line.
// clang-format off
inline vec set8(int c) { return _mm_set1_epi8(static_cast<char>(c)); }
inline vec set16(int c) { return _mm_set1_epi16(static_cast<short>(c)); }
inline vec set32(int c) { return _mm_set1_epi32(c); }
inline vec zeros() { return _mm_setzero_si128(); }
inline vec load(const char* at) { return _mm_loadu_si128(reinterpret_cast<const vec*>(at)); }
inline vec add8(vec a, vec b) { return _mm_add_epi8(a, b); }
inline vec sub8(vec a, vec b) { return _mm_sub_epi8(a, b); }
inline vec add16(vec a, vec b) { return _mm_add_epi16(a, b); }
inline vec sub16(vec a, vec b) { return _mm_sub_epi16(a, b); }
inline vec add32(vec a, vec b) { return _mm_add_epi32(a, b); }
inline vec sub32(vec a, vec b) { return _mm_sub_epi32(a, b); }
inline vec and_(vec a, vec b) { return _mm_and_si128(a, b); }
inline vec or_(vec a, vec b) { return _mm_or_si128(a, b); }
inline vec andnot(vec mask, vec b) { return _mm_andnot_si128(mask, b); }  // b where not mask
inline vec min_u8(vec a, vec b) { return _mm_min_epu8(a, b); }
inline vec eq8(vec a, vec b) { return _mm_cmpeq_epi8(a, b); }
inline vec eq32(vec a, vec b) { return _mm_cmpeq_epi32(a, b); }
inline vec shl16(vec a, int n) { return _mm_slli_epi16(a, n); }
inline vec shr16(vec a, int n) { return _mm_srli_epi16(a, n); }
inline vec shl32(vec a, int n) { return _mm_slli_epi32(a, n); }
inline vec shr32(vec a, int n) { return _mm_srli_epi32(a, n); }
inline vec sar32(vec a, int n) { return _mm_srai_epi32(a, n); }
inline vec madd16(vec a, vec b) { return _mm_madd_epi16(a, b); }
inline vec maddubs16(vec a, vec b) { return _mm_maddubs_epi16(a, b); }
inline vec mulhi_u16(vec a, vec b) { return _mm_mulhi_epu16(a, b); }
inline vec abs32(vec a) { return _mm_abs_epi32(a); }
inline vec shuffle8(vec a, vec order) { return _mm_shuffle_epi8(a, order); }
inline vec blend8(vec a, vec b, vec mask) { return _mm_blendv_epi8(a, b, mask); }
inline fvec to_float(vec a) { return _mm_cvtepi32_ps(a); }
inline vec as_int(fvec a) { return _mm_castps_si128(a); }
inline fvec as_float(vec a) { return _mm_castsi128_ps(a); }
inline int movemask32(vec a) { return _mm_movemask_ps(_mm_castsi128_ps(a)); }
// clang-format on

inline vec repeat16(char b0, char b1, char b2, char b3, char b4, char b5, char b6, char b7, char b8,
                    char b9, char b10, char b11, char b12, char b13, char b14, char b15) {
    return _mm_setr_epi8(b0, b1, b2, b3, b4, b5, b6, b7, b8, b9, b10, b11, b12, b13, b14, b15);
}

// Two vectors of 16-bit words as one of bytes, in lane order.
inline vec pack_pairs(vec first, vec second) {
    return _mm_packus_epi16(first, second);
}

// 10^r as a float for each lane's r, the index's bits 2-0: a byte lookup in
// the table's two halves, then the half that r's bit 2 chooses.
inline fvec small_powers(vec r) {
    const vec table_low = _mm_loadu_si128(reinterpret_cast<const vec*>(small_powers_of_ten));
    const vec table_high = _mm_loadu_si128(reinterpret_cast<const vec*>(small_powers_of_ten + 4));
    // Byte j of lane i reads byte 4 * (r & 3) + j of a half.
    const vec bytes = _mm_add_epi8(
        _mm_shuffle_epi8(_mm_slli_epi32(_mm_and_si128(r, _mm_set1_epi32(3)), 2),
                         _mm_setr_epi8(0, 0, 0, 0, 4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12)),
        _mm_set1_epi32(0x03020100));
    const vec high = _mm_cmpgt_epi32(_mm_and_si128(r, _mm_set1_epi32(4)), _mm_setzero_si128());
    return _mm_castsi128_ps(_mm_blendv_epi8(_mm_shuffle_epi8(table_low, bytes),
                                            _mm_shuffle_epi8(table_high, bytes), high));
}

// Rounds two values, each exactly as a float in the low lanes of `value`,
// times 10^(8q) and 10^r, to five digits: within three roundings of the exact
// product, below 10^6. Returns the digits in the low two 32-bit lanes.
inline vec round_two_lanes(fvec value, __m128d eighth_power, fvec small_power, __m128d* above,
                           int* near_tie) {
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

// Each value times 10^(4 - floor(log10 value)), as the index gives it (q + 2
// in bits 5-3, r in bits 2-0), rounded to an integer below 10^6 in double
// precision, two lanes at a time; `above` marks the lanes scaled once more by
// 0.1 (at or above the cut), `near_tie` the lanes to round exactly.
inline vec scale_and_round(fvec value, fvec small, vec index, vec* above, int* near_tie) {
    // The 10^(8q) doubles by index, one lane at a time (the table's 8 entries).
    const vec q = _mm_and_si128(_mm_srli_epi32(index, 3), _mm_set1_epi32(7));
    const __m128d eighth_low = _mm_setr_pd(eighth_powers_of_ten[_mm_cvtsi128_si32(q)],
                                           eighth_powers_of_ten[_mm_extract_epi32(q, 1)]);
    const __m128d eighth_high = _mm_setr_pd(eighth_powers_of_ten[_mm_extract_epi32(q, 2)],
                                            eighth_powers_of_ten[_mm_extract_epi32(q, 3)]);
    __m128d above_halves[2];
    int near_tie_bits[2];
    const vec low_digits =
        round_two_lanes(value, eighth_low, small, &above_halves[0], &near_tie_bits[0]);
    const vec high_digits =
        round_two_lanes(_mm_movehl_ps(value, value), eighth_high, _mm_movehl_ps(small, small),
                        &above_halves[1], &near_tie_bits[1]);
    // Each 64-bit mask's low half, one per 32-bit lane.
    *above = _mm_castps_si128(_mm_shuffle_ps(
        _mm_castpd_ps(above_halves[0]), _mm_castpd_ps(above_halves[1]), _MM_SHUFFLE(2, 0, 2, 0)));
    *near_tie = near_tie_bits[0] | near_tie_bits[1] << 2;
    return _mm_unpacklo_epi64(low_digits, high_digits);
}

// Each lane's entry as head, decimals and exponent text, a point put in after
// the head, with a 16-byte store at out + 13 * lane.
inline void store_entries(vec head, vec decimals, vec exponent_text, char* out) {
    const vec points = _mm_set1_epi8('.');
    const vec head_decimals[2] = {_mm_unpacklo_epi32(head, decimals),
                                  _mm_unpackhi_epi32(head, decimals)};
    const vec exponents[2] = {_mm_unpacklo_epi32(exponent_text, points),
                              _mm_unpackhi_epi32(exponent_text, points)};
    const vec order = repeat16(0, 1, 2, 3, 12, 4, 5, 6, 7, 8, 9, 10, 11, -1, -1, -1);
    for (int j = 0; j < 2; ++j) {
        _mm_storeu_si128(
            reinterpret_cast<vec*>(out + value_entry_length * (2 * j)),
            _mm_shuffle_epi8(_mm_unpacklo_epi64(head_decimals[j], exponents[j]), order));
        _mm_storeu_si128(
            reinterpret_cast<vec*>(out + value_entry_length * (2 * j + 1)),
            _mm_shuffle_epi8(_mm_unpackhi_epi64(head_decimals[j], exponents[j]), order));
    }
}
