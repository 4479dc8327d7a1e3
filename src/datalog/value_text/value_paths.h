// The one place that chooses how a record's values are formatted: with
// AVX-512, AVX2 or SSE4.1, or one at a time. All four write the same characters;
// the fastest the processor runs is chosen once, at start-up.
#pragma once

#include <string_view>

namespace datalog {

enum class value_path { scalar, sse41, avx2, avx512 };

// Characters a path may write past the values' text, which the caller
// overwrites or ignores.
constexpr unsigned format_values_overrun = 3;

// What a path does: see value_path_entry's `format`.
using value_format = unsigned (*)(const char* chars, unsigned count, char* out);

// One path: its name, whether this build and processor run it, and what it
// does. `format` writes ", " and the 11-character text of each of the `count`
// (0-16) packed values at `chars`: 13 * count characters, and up to
// format_values_overrun more after them. It reads only the 8 * count
// characters of the values, and returns how many of them it handed to the
// exact scaling (values near a rounding tie; README.md in this folder).
struct value_path_entry {
    value_path path;
    const char* name;
    bool (*available)();
    value_format format;
};

// Every path, fastest first: the one list the dispatch, the benchmark and the
// tests read.
extern const value_path_entry value_path_table[4];

// "scalar", "sse41", "avx2" or "avx512".
const char* value_path_name(value_path path);

// The path of that name; false for any other name.
bool value_path_named(std::string_view name, value_path* path);

// Whether this build and processor run the path (scalar always does).
bool value_path_available(value_path path);

// The fastest path this build and processor run, chosen once, at start-up:
// the one a conversion takes unless its caller holds it to another.
value_path fastest_value_path();

// The path's `format`.
value_format format_of(value_path path);

}  // namespace datalog
