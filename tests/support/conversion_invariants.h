// What must hold when any bytes whatever are converted as a datalog file: the
// conversion returns 0 or 1; a rejected file writes no record; otherwise the
// output holds exactly the records the summary counts, each line in the output
// format and numbered in order, with one progress line each; and the output is
// bounded by the input; and Windows' text mode reads the text-mode view. The
// fuzz target and the regression test share it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Converts `data` as a datalog file; returns "" when everything holds, else
// what did not.
std::string check_conversion_invariants(const std::uint8_t* data, std::size_t size);

// Converts `data` in Windows' text mode and checks that it gives what the
// text-mode view of its bytes from offset 1024 on converts to, every line
// ending in CR LF; "" when it does.
std::string check_text_mode_invariants(const std::uint8_t* data, std::size_t size);

// The dropped-file name logic on `data` taken as a path; "" when it holds.
std::string check_derived_name_invariants(const std::uint8_t* data, std::size_t size);
