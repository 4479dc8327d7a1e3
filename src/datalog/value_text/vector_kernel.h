// The steps of the four- and eight-lane paths, written once over a small
// description of the vector width: a lanes file (lanes_sse41.h, lanes_avx2.h)
// gives `vec` and `fvec`, `lane_count`, the lane-wise operations by name, and
// the few steps whose shape the width decides (pack_pairs, repeat16,
// small_powers, scale_and_round, store_entries).
//
// No include guard: values_sse41.cpp and values_avx2.cpp each include it once,
// after their lanes file, inside a target region of their own (#pragma GCC
// target, clang's attribute pragma) and an unnamed namespace of their own, so
// every function here is compiled once per target and no inline function
// carries one target's instructions to another's callers.

// Each character's hexadecimal digit value: '0'-'9', 'A'-'F' and 'a'-'f' give
// 0-15, every other character 0.
inline vec hex_digit_values(vec chars) {
    const vec digit = sub8(chars, set8('0'));
    const vec is_digit = eq8(min_u8(digit, set8(9)), digit);
    // Only 'A'-'F' and 'a'-'f' become 'a'-'f' with bit 5 set.
    const vec letter = sub8(or_(chars, set8(0x20)), set8('a'));
    const vec is_letter = eq8(min_u8(letter, set8(5)), letter);
    return or_(and_(is_digit, digit), and_(is_letter, add8(letter, set8(10))));
}

// The four bytes of each packed value, one value per 32-bit lane.
inline vec packed_bytes(const char* chars) {
    // Each pair of characters, low nibble first, gives one byte.
    const vec pair_weights = set16(0x1001);
    const vec first = maddubs16(hex_digit_values(load(chars)), pair_weights);
    const vec second = maddubs16(hex_digit_values(load(chars + sizeof(vec))), pair_weights);
    return pack_pairs(first, second);
}

struct rounded_values {
    vec digits;    // the five significant digits, or 0 for a zero value
    vec exponent;  // the decimal exponent
    int near_tie;  // lanes whose rounding the double estimate cannot decide
};

// Rounds fraction * 2^(exponent - 24) to five significant digits, ties away
// from zero, but for the lanes flagged near a tie. Zero lanes give zero.
inline rounded_values round_values(vec fraction, vec exponent) {
    const vec zero = eq32(fraction, zeros());
    // The fraction as a float, exactly (24 bits), has 127 + floor(log2
    // fraction) in its exponent field; the value is that float with the power
    // added there, exactly (2^-88 ... 2^63).
    const vec power = sub32(exponent, set32(24));
    const vec value = add32(as_int(to_float(fraction)), shl32(power, 23));
    // floor(log10 value) is this or one more: (biased log2 - 127) * 1233 / 4096.
    const vec low_exponent = sar32(
        sub32(madd16(shr32(value, 23), set32(log10_2_times_4096)), set32(127 * log10_2_times_4096)),
        12);
    // The value times 10^n, n = 4 - low_exponent, from 10^4 up to below 10^6;
    // index n + 16 (2 ... 47) gives q + 2 in bits 5-3 and r in bits 2-0.
    // (A zero lane's index is arbitrary: only bits 5-3 and 2-0 are read.)
    const vec index = sub32(set32(power_index_base), low_exponent);
    vec above;
    int near_tie = 0;
    vec digits = scale_and_round(as_float(value), small_powers(index), index, &above, &near_tie);
    // Rounded up to the next power of ten.
    const vec carry = eq32(digits, set32(100000));
    digits = blend8(digits, set32(10000), carry);
    const vec decimal_exponent = sub32(sub32(low_exponent, above), carry);
    return {andnot(zero, digits), andnot(zero, decimal_exponent), near_tie & ~movemask32(zero)};
}

// The 13 characters ", ±d.ddddE±dd" of each lane, stored at out + 13 * lane,
// each with a 16-byte store: the last writes 3 bytes past the values' text.
inline void store_texts(vec digits, vec exponent, vec negative, char* out) {
    // The first digit, digits / 10^4, as (digits / 16) / 625 in 16-bit fixed
    // point (exact below 10^5); the other four as 100 * high + low, each split
    // into tens and ones, in the 16-bit halves of each lane.
    const vec first = shr16(mulhi_u16(shr32(digits, 4), set16(first_digit_multiplier)), 6);
    const vec rest = sub32(digits, madd16(first, set32(10000)));
    const vec hundreds = shr16(mulhi_u16(rest, set16(hundreds_multiplier)), 3);
    const vec pairs = or_(hundreds, shl32(sub32(rest, madd16(hundreds, set32(100))), 16));
    const vec tens = mulhi_u16(pairs, set16(tens_multiplier));
    const vec ones = sub16(pairs, maddubs16(tens, set16(10)));
    const vec decimals = add16(or_(tens, shl16(ones, 8)), set16(0x3030));
    // ", " and the sign ('-' is '+' + 2) and the first digit.
    const vec head =
        add32(set32(entry_head), add32(and_(negative, set32(0x20000)), shl32(first, 24)));
    // "E", the exponent's sign and two digits.
    const vec magnitude = abs32(exponent);
    const vec exponent_tens = mulhi_u16(magnitude, set16(tens_multiplier));
    const vec exponent_ones = sub32(magnitude, madd16(exponent_tens, set32(10)));
    const vec exponent_text =
        add32(add32(set32(0x30302B45), and_(sar32(exponent, 31), set32(0x200))),
              or_(shl32(exponent_tens, 16), shl32(exponent_ones, 24)));
    store_entries(head, decimals, exponent_text, out);
}

// One group of lane_count values; inlined into the loop below, which keeps
// its constants in registers from one group to the next. Returns how many it
// handed to the exact scaling.
inline __attribute__((always_inline)) unsigned format_group(const char* chars, char* out) {
    const vec bytes = packed_bytes(chars);
    // Byte 0: sign in bit 0, a 7-bit two's-complement exponent in bits 7-1;
    // bytes 1-3: the fraction, most significant first.
    const vec negative = sar32(shl32(bytes, 31), 31);
    const vec exponent = sar32(shl32(bytes, 24), 25);
    const vec fraction =
        shuffle8(bytes, repeat16(3, 2, 1, -1, 7, 6, 5, -1, 11, 10, 9, -1, 15, 14, 13, -1));
    const rounded_values rounded = round_values(fraction, exponent);
    store_texts(rounded.digits, rounded.exponent, negative, out);
    return reformat_near_ties(chars, static_cast<unsigned>(rounded.near_tie), out);
}

// A value_path_entry's `format`: lane_count values at a time, the rest one at
// a time; up to 3 characters past the values' text. Inlined into the path's
// exported function.
inline __attribute__((always_inline)) unsigned format_values(const char* chars, unsigned count,
                                                             char* out) {
    unsigned handed = 0;
    const unsigned groups = count / lane_count;
    for (unsigned g = 0; g < groups; ++g)
        handed += format_group(chars + lane_count * packed_value_length * g,
                               out + lane_count * value_entry_length * g);
    // The scalar path overwrites what the last group wrote past its text.
    const unsigned done = lane_count * groups;
    return handed + format_values_scalar(chars + packed_value_length * done, count - done,
                                         out + value_entry_length * done);
}
