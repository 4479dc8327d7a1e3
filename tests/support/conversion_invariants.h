// What must hold when any bytes whatever are converted as a datalog file: the
// conversion returns 0 or 1; a rejected file writes no record; otherwise the
// output holds exactly the records the summary counts, each line in the output
// format and numbered in order, with one progress line each; and the output is
// bounded by the input. The fuzz target and the regression test share it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Converts `data` as a datalog file; returns "" when everything holds, else
// what did not.
std::string check_conversion_invariants(const std::uint8_t* data, std::size_t size);

// The dropped-file name logic on `data` taken as a path; "" when it holds.
std::string check_derived_name_invariants(const std::uint8_t* data, std::size_t size);
