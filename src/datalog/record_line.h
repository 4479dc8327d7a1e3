// The text written for each record: the output file's line and the progress
// line on standard output.
#pragma once

#include <cstddef>
#include <cstdint>

#include "datalog/chunked_io.h"
#include "datalog/datalog_format.h"
#include "datalog/value_format.h"

namespace datalog {

// The longest record line: a 10-digit record number, 16 values and "\n".
constexpr std::size_t record_line_capacity =
    10 + max_values_per_record * (2 + value_text_capacity) + 1;
constexpr std::size_t progress_line_capacity = 64;
static_assert(record_line_capacity <= max_piece && progress_line_capacity <= max_piece,
              "a line fits in what the writer reserves");

// A record number kept as decimal text and counted up in place, since every
// record prints its number twice. The digits end at text[9]; the characters
// after them let the number be copied in one fixed-size piece.
struct record_number {
    char text[32] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', '0'};
    int first = 9;  // index of the first digit
};

// Adds one to the number.
void advance(record_number& number);

// "%5d" of the record number, then ", %+.4E" of each of the `values` packed
// values at `record`, then "\n". Returns the length written; `out` has room
// for record_line_capacity characters, all of which may be written.
std::size_t format_record_line(const record_number& number, const char* record, unsigned values,
                               char* out);

// "Unpacking record %d from .KYX file\n". Returns the length written; `out`
// has room for progress_line_capacity characters, all of which may be written.
std::size_t format_progress_line(const record_number& number, char* out);

}  // namespace datalog
