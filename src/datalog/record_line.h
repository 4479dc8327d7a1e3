// The text written for each record: the output file's line and the progress
// line on standard output.
#pragma once

#include <cstddef>
#include <cstdint>

#include "datalog/datalog_format.h"
#include "datalog/value_format.h"

namespace datalog {

// The longest record line: an 8-digit record number, 16 values and "\n".
constexpr std::size_t record_line_capacity =
    8 + max_values_per_record * (2 + value_text_capacity) + 1;
constexpr std::size_t progress_line_capacity = 48;

// Writes the decimal digits of n; returns their count.
std::size_t format_decimal(std::uint32_t n, char* out);

// "%5d" of the record number, then ", %+.4E" of each of the `values` packed
// values at `record`, then "\n". Returns the length written.
std::size_t format_record_line(std::uint32_t number, const char* record, unsigned values,
                               char* out);

// "Unpacking record %d from .KYX file\n". Returns the length written.
std::size_t format_progress_line(std::uint32_t number, char* out);

}  // namespace datalog
