// The "%+.4E" value formatter: sign always shown, one digit, a point, four
// digits, "E", the exponent's sign and at least two exponent digits.
//
// The four decimals are rounded from the exact value of the double, and a value
// exactly halfway between two results takes the one of larger magnitude (ties
// away from zero). The C library's printf cannot be used for this: glibc rounds
// exact ties to even, and some Windows runtimes print three exponent digits.
#pragma once

#include <cstddef>

namespace datalog {

// Longest text format_value writes ("-1.2345E-308"), with room to spare.
constexpr std::size_t value_text_capacity = 16;

// Writes the text of `value` to `out` (no terminating zero) and returns its
// length. Infinities and NaNs print as "+INF", "-INF", "+NAN" and "-NAN".
std::size_t format_value(double value, char* out);

}  // namespace datalog
