// The values of a record formatted with vector instructions, where the build
// has them (x86 with GCC or Clang: vector_intrinsics.h) and the processor runs
// them. The text is the scalar formatter's, character for character.
// value_paths.h lists them with the scalar path; only it and their tests call
// these.
#pragma once

#include "datalog/datalog_format.h"
#include "datalog/value_text/value_text.h"

namespace datalog {

// Rewrites with the exact scalar path the text of each value whose bit is set
// in `lanes`: the rare value a vector path found near a rounding tie. Returns
// how many values it rewrote.
inline unsigned reformat_near_ties(const char* chars, unsigned lanes, char* out) {
    unsigned handed = 0;
    for (; lanes != 0; lanes &= lanes - 1, ++handed) {
        const int i = __builtin_ctz(lanes);
        format_packed(chars + packed_value_length * i, out + value_entry_length * i + 2);
    }
    return handed;
}

// True when format_values_avx512 may be called (AVX-512 F, BW, DQ, VL, VBMI).
bool avx512_values_available();

// A value_path_entry's `format` (value_paths.h) that writes nothing past the
// values' text.
unsigned format_values_avx512(const char* chars, unsigned count, char* out);

// True when format_values_sse41 may be called.
bool sse41_values_available();

// A value_path_entry's `format` (value_paths.h): four values at a time, the
// rest one at a time; up to 3 characters past the values' text.
unsigned format_values_sse41(const char* chars, unsigned count, char* out);

// True when format_values_avx2 may be called.
bool avx2_values_available();

// A value_path_entry's `format` (value_paths.h): eight values at a time, the
// rest one at a time; up to 3 characters past the values' text.
unsigned format_values_avx2(const char* chars, unsigned count, char* out);

}  // namespace datalog
