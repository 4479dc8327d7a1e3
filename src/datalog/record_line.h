// The text written for each record: the output file's line and the progress
// line on standard output.
#pragma once

#include <cstddef>
#include <cstdint>

#include "datalog/chunked_io.h"
#include "datalog/datalog_format.h"
#include "datalog/value_text/digit_text.h"
#include "datalog/value_text/value_paths.h"

namespace datalog {

// The longest record line: a 10-digit record number, 16 values and "\r\n".
constexpr std::size_t record_line_capacity =
    10 + max_values_per_record * value_entry_length + 2 + format_values_overrun;
constexpr std::size_t progress_line_capacity = 64;
static_assert(record_line_capacity <= max_piece && progress_line_capacity <= max_piece,
              "a line fits in what the writer reserves");

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

// The number `value`.
record_number record_number_at(std::uint32_t value);

// Adds one to the number (below 2^32 - 1).
void advance(record_number& number);

// "%5d" of the record number, then ", %+.4E" of each of the `values` packed
// values at `record`, then the line end: "\n", or "\r\n" with `crlf`. Returns
// the length written; `out` has room for record_line_capacity characters, all
// of which may be written.
std::size_t format_record_line(const record_number& number, const char* record, unsigned values,
                               bool crlf, char* out);

// "Unpacking record %d from .KYX file" and the line end. Returns the length
// written; `out` has room for progress_line_capacity characters, all of which
// may be written.
std::size_t format_progress_line(const record_number& number, bool crlf, char* out);

}  // namespace datalog
