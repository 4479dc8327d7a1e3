// Writes datalog files: the encoder the tests, the benchmark and the example
// generator share. It is the converter's inverse, written separately from it.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace datalog_writer {

// The header's fields in the file's order, so that header_fields{0, 2, 8} is no
// record count, 2 values per record and a record length of 8.
struct header_fields {
    std::uint32_t record_count = 0;
    std::uint32_t values_per_record = 0;
    std::uint32_t record_length = 0;
    std::uint32_t values_per_phase = 0;
    std::uint32_t phases_per_record = 0;
};

// `value` as `chars` hexadecimal digits, least significant digit first.
std::string encode_field(std::uint32_t value, int chars);

// The packed value with the given sign, binary exponent (-64 ... 63) and
// 24-bit fraction (value = fraction / 2^24 * 2^exponent).
std::string encode_packed(bool negative, int exponent, std::uint32_t fraction);

// A packed value of random sign, exponent and fraction; never one whose exponent
// byte is FF, so that it may open a record.
std::string random_packed(std::mt19937& rng);

// The packed value nearest `value` (24-bit fraction, ties to even), with the
// exponent clamped to -64 ... 63. Exact for every value a packed value holds.
std::string encode_packed_value(double value);

// The 1024 characters before the header block (the converter skips them).
std::string preamble();

// The 128-character header block; characters 14-127 are filled with '0'.
std::string header_block(const header_fields& header);

// One record of 2 * record_length characters: the values, then '0' padding.
std::string record(const std::vector<double>& values, std::uint32_t record_length);

// The end-marker record, 2 * record_length characters ("FF" then '0's).
std::string end_marker_record(std::uint32_t record_length);

// A whole datalog: preamble, header, records and (optionally) the end marker.
std::string datalog(const header_fields& header, const std::vector<std::vector<double>>& records,
                    bool with_end_marker = true);

// Writes `content` to `path` byte for byte; false on failure.
bool write_file(const std::string& path, const std::string& content);

}  // namespace datalog_writer
