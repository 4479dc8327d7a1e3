// The text written for each record: the output file's line and the progress
// line on standard output.
#pragma once

#include <cstddef>
#include <cstdint>

#include "datalog/datalog_format.h"
#include "datalog/text_mode.h"
#include "datalog/value_text/digit_text.h"
#include "datalog/value_text/value_paths.h"

namespace datalog {

// The widest record number's text: 2^32 - 1 has ten digits.
constexpr std::size_t record_number_width = 10;

// The longest record line: a 10-digit record number, 16 values and the
// longest line end.
constexpr std::size_t record_line_capacity =
    record_number_width + max_values_per_record * value_entry_length +
    line_end(text_mode::windows).size() + format_values_overrun;
constexpr std::size_t progress_line_capacity = 64;

// A record number and its decimal text, right-aligned in characters 0-9 with
// spaces before it. The text is kept as two 64-bit words (its characters in
// memory order on this little-endian machine), each only ever written and
// read whole, and apart, so that no read spans both: a read that spans
// several recent writes waits until they complete.
struct record_number {
    std::uint64_t text_low = 0x2020202020202020u;  // characters 0-7
    std::uint32_t value = 0;
    int first = 9;                      // index of the first digit in the text
    std::uint64_t text_high = 0x3020u;  // characters 8-15
    std::uint64_t next_power = 10;      // the value from which the text has one more digit
};

// A record number holding `value`, its text set to match.
record_number record_number_at(std::uint32_t value);

// Adds one to the number (below 2^32 - 1).
void advance(record_number& number);

// "%5d" of the record number, then ", %+.4E" of each of the `values` packed
// values at `record`, as `format` writes them, then the line end of `mode`.
// Returns the length written; `out` has room for record_line_capacity
// characters, all of which may be written.
std::size_t format_record_line(const record_number& number, const char* record, unsigned values,
                               value_format format, text_mode mode, char* out);

// "Unpacking record %d from .KYX file" and the line end of `mode`. Returns the
// length written; `out` has room for progress_line_capacity characters, all of
// which may be written.
std::size_t format_progress_line(const record_number& number, text_mode mode, char* out);

}  // namespace datalog
