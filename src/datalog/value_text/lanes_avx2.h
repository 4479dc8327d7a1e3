// Eight 32-bit lanes in 256-bit AVX2 vectors, for vector_kernel.h. No include
// guard: values_avx2.cpp includes it once, inside its AVX2 target region and
// namespace.

using namespace vector_constants;

using vec = __m256i;
using fvec = __m256;
constexpr unsigned lane_count = 8;

// The lane-wise operations, one a line.
// clang-format off
inline vec set8(int c) { return _mm256_set1_epi8(static_cast<char>(c)); }
inline vec set16(int c) { return _mm256_set1_epi16(static_cast<short>(c)); }
inline vec set32(int c) { return _mm256_set1_epi32(c); }
inline vec zeros() { return _mm256_setzero_si256(); }
inline vec load(const char* at) { return _mm256_loadu_si256(reinterpret_cast<const vec*>(at)); }
inline vec add8(vec a, vec b) { return _mm256_add_epi8(a, b); }
inline vec sub8(vec a, vec b) { return _mm256_sub_epi8(a, b); }
inline vec add16(vec a, vec b) { return _mm256_add_epi16(a, b); }
inline vec sub16(vec a, vec b) { return _mm256_sub_epi16(a, b); }
inline vec add32(vec a, vec b) { return _mm256_add_epi32(a, b); }
inline vec sub32(vec a, vec b) { return _mm256_sub_epi32(a, b); }
inline vec and_(vec a, vec b) { return _mm256_and_si256(a, b); }
inline vec or_(vec a, vec b) { return _mm256_or_si256(a, b); }
inline vec andnot(vec mask, vec b) { return _mm256_andnot_si256(mask, b); }  // b where not mask
inline vec min_u8(vec a, vec b) { return _mm256_min_epu8(a, b); }
inline vec eq8(vec a, vec b) { return _mm256_cmpeq_epi8(a, b); }
inline vec eq32(vec a, vec b) { return _mm256_cmpeq_epi32(a, b); }
inline vec shl16(vec a, int n) { return _mm256_slli_epi16(a, n); }
inline vec shr16(vec a, int n) { return _mm256_srli_epi16(a, n); }
inline vec shl32(vec a, int n) { return _mm256_slli_epi32(a, n); }
inline vec shr32(vec a, int n) { return _mm256_srli_epi32(a, n); }
inline vec sar32(vec a, int n) { return _mm256_srai_epi32(a, n); }
inline vec madd16(vec a, vec b) { return _mm256_madd_epi16(a, b); }
inline vec maddubs16(vec a, vec b) { return _mm256_maddubs_epi16(a, b); }
inline vec mulhi_u16(vec a, vec b) { return _mm256_mulhi_epu16(a, b); }
inline vec abs32(vec a) { return _mm256_abs_epi32(a); }
inline vec shuffle8(vec a, vec order) { return _mm256_shuffle_epi8(a, order); }
inline vec blend8(vec a, vec b, vec mask) { return _mm256_blendv_epi8(a, b, mask); }
inline fvec to_float(vec a) { return _mm256_cvtepi32_ps(a); }
inline vec as_int(fvec a) { return _mm256_castps_si256(a); }
inline fvec as_float(vec a) { return _mm256_castsi256_ps(a); }
inline int movemask32(vec a) { return _mm256_movemask_ps(_mm256_castsi256_ps(a)); }
// clang-format on

// The same 16 bytes in each 128-bit half.
inline vec repeat16(char b0, char b1, char b2, char b3, char b4, char b5, char b6, char b7, char b8,
                    char b9, char b10, char b11, char b12, char b13, char b14, char b15) {
    return _mm256_setr_epi8(b0, b1, b2, b3, b4, b5, b6, b7, b8, b9, b10, b11, b12, b13, b14, b15,
                            b0, b1, b2, b3, b4, b5, b6, b7, b8, b9, b10, b11, b12, b13, b14, b15);
}

// Two vectors of 16-bit words as one of bytes, in lane order: the pack works
// within 128-bit halves, giving values 0 1 4 5 2 3 6 7, put back in order.
inline vec pack_pairs(vec first, vec second) {
    return _mm256_permute4x64_epi64(_mm256_packus_epi16(first, second), 0xD8);
}

// 10^r as a float for each lane's r, the index's bits 2-0.
inline fvec small_powers(vec index) {
    return _mm256_permutevar8x32_ps(_mm256_loadu_ps(small_powers_of_ten), index);
}

// Eight doubles as their low and their high 32 bits.
struct double_table {
    vec low;
    vec high;
};

inline double_table make_double_table(const double (&values)[8]) {
    std::uint32_t low[8], high[8];
    for (int i = 0; i < 8; ++i) {
        std::uint64_t bits;
        std::memcpy(&bits, &values[i], sizeof bits);
        low[i] = static_cast<std::uint32_t>(bits);
        high[i] = static_cast<std::uint32_t>(bits >> 32);
    }
    return {_mm256_loadu_si256(reinterpret_cast<const vec*>(low)),
            _mm256_loadu_si256(reinterpret_cast<const vec*>(high))};
}

// The doubles chosen by the index (0-7) in each 32-bit lane: lanes 0-3 in
// `first`, lanes 4-7 in `second`.
inline void look_up(const double_table& table, vec index, __m256d* first, __m256d* second) {
    const vec low = _mm256_permutevar8x32_epi32(table.low, index);
    const vec high = _mm256_permutevar8x32_epi32(table.high, index);
    // Interleaving works within 128-bit halves: lanes 0 1 4 5, then 2 3 6 7.
    const vec lanes_0145 = _mm256_unpacklo_epi32(low, high);
    const vec lanes_2367 = _mm256_unpackhi_epi32(low, high);
    *first = _mm256_castsi256_pd(_mm256_permute2x128_si256(lanes_0145, lanes_2367, 0x20));
    *second = _mm256_castsi256_pd(_mm256_permute2x128_si256(lanes_0145, lanes_2367, 0x31));
}

// Rounds four values, each exactly as a float, times 10^(8q) and 10^r, to
// five digits: within three roundings of the exact product, below 10^6.
inline __m128i round_four_lanes(__m128 value, __m256d eighth_power, __m128 small_power, int* above,
                                int* near_tie) {
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

// Each value times 10^(4 - floor(log10 value)), as the index gives it (q + 2
// in bits 5-3, r in bits 2-0), rounded to an integer below 10^6 in double
// precision, four lanes at a time; `above` marks the lanes scaled once more by
// 0.1 (at or above the cut), `near_tie` the lanes to round exactly.
inline vec scale_and_round(fvec value, fvec small, vec index, vec* above, int* near_tie) {
    __m256d eighth[2];
    look_up(make_double_table(eighth_powers_of_ten), _mm256_srli_epi32(index, 3), &eighth[0],
            &eighth[1]);
    int above_bits[2], near_tie_bits[2];
    const __m128i low_digits =
        round_four_lanes(_mm256_castps256_ps128(value), eighth[0], _mm256_castps256_ps128(small),
                         &above_bits[0], &near_tie_bits[0]);
    const __m128i high_digits =
        round_four_lanes(_mm256_extractf128_ps(value, 1), eighth[1],
                         _mm256_extractf128_ps(small, 1), &above_bits[1], &near_tie_bits[1]);
    *above =
        _mm256_cmpgt_epi32(_mm256_and_si256(_mm256_set1_epi32(above_bits[0] | above_bits[1] << 4),
                                            _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128)),
                           _mm256_setzero_si256());
    *near_tie = near_tie_bits[0] | near_tie_bits[1] << 4;
    return _mm256_set_m128i(high_digits, low_digits);
}

// Each lane's entry as head, decimals and exponent text, a point put in after
// the head, with a 16-byte store at out + 13 * lane.
inline void store_entries(vec head, vec decimals, vec exponent_text, char* out) {
    // Lane i as head, decimals, exponent text and "....": lanes 0 and 4 in
    // v[0], 1 and 5 in v[1], and so on.
    const vec points = _mm256_set1_epi8('.');
    const vec head_decimals[2] = {_mm256_unpacklo_epi32(head, decimals),
                                  _mm256_unpackhi_epi32(head, decimals)};
    const vec exponents[2] = {_mm256_unpacklo_epi32(exponent_text, points),
                              _mm256_unpackhi_epi32(exponent_text, points)};
    const vec order = repeat16(0, 1, 2, 3, 12, 4, 5, 6, 7, 8, 9, 10, 11, -1, -1, -1);
    vec v[4];
    for (int j = 0; j < 2; ++j) {
        v[2 * j] = _mm256_unpacklo_epi64(head_decimals[j], exponents[j]);
        v[2 * j + 1] = _mm256_unpackhi_epi64(head_decimals[j], exponents[j]);
    }
    for (vec& text : v) text = _mm256_shuffle_epi8(text, order);
    for (int i = 0; i < 4; ++i)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + value_entry_length * i),
                         _mm256_castsi256_si128(v[i]));
    for (int i = 0; i < 4; ++i)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + value_entry_length * (i + 4)),
                         _mm256_extracti128_si256(v[i], 1));
}
