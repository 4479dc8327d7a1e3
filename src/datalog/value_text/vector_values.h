// The values of a record formatted with vector instructions, where the build
// has them (x86-64 Linux with GCC or Clang) and the processor runs them. The
// text is the scalar formatter's, character for character. value_paths.h
// chooses among them; only it and their tests call these.
#pragma once

#include "datalog/datalog_format.h"
#include "datalog/value_text/value_text.h"

namespace datalog {

// Rewrites with the exact scalar path the text of each value whose bit is set
// in `lanes`: the rare value a vector path found near a rounding tie.
inline void reformat_near_ties(const char* chars, unsigned lanes, char* out) {
    for (; lanes != 0; lanes &= lanes - 1) {
        const int i = __builtin_ctz(lanes);
        format_packed(chars + packed_value_length * i, out + value_entry_length * i + 2);
    }
}

// True when format_values_avx512 may be called (AVX-512 F, BW, DQ, VL, VBMI).
bool avx512_values_available();

// Writes ", " and the 11-character text of each of the `count` (0-16) packed
// values at `chars`: 13 * count characters, nothing past them. Reads only the
// 8 * count characters of the values.
void format_values_avx512(const char* chars, unsigned count, char* out);

// True when format_values_avx2 may be called.
bool avx2_values_available();

// Writes ", " and the 11-character text of each of the 8 * groups packed
// values at `chars` (64 characters a group): 104 characters a group, and up to
// 3 more after them that the caller overwrites.
void format_values_avx2(const char* chars, unsigned groups, char* out);

}  // namespace datalog
