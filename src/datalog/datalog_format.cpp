#include "datalog/datalog_format.h"

#include <array>
#include <cmath>

namespace datalog {
namespace {

constexpr std::array<std::uint8_t, 256> make_hex_table() {
    std::array<std::uint8_t, 256> table{};
    for (int c = '0'; c <= '9'; ++c) table[c] = static_cast<std::uint8_t>(c - '0');
    for (int c = 'A'; c <= 'F'; ++c) table[c] = static_cast<std::uint8_t>(c - 'A' + 10);
    for (int c = 'a'; c <= 'f'; ++c) table[c] = static_cast<std::uint8_t>(c - 'a' + 10);
    return table;
}

constexpr std::array<std::uint8_t, 256> hex_table = make_hex_table();

}  // namespace

int hex_digit_value(char c) {
    return hex_table[static_cast<unsigned char>(c)];
}

std::uint32_t read_nibble_field(const char* chars, int count) {
    std::uint32_t value = 0;
    for (int j = count - 1; j >= 0; --j)
        value = (value << 4) | hex_table[static_cast<unsigned char>(chars[j])];
    return value;
}

double decode_packed_value(const char* chars) {
    const std::uint32_t exponent_byte = read_nibble_field(chars, 2);
    const std::uint32_t fraction = (read_nibble_field(chars + 2, 2) << 16) |
                                   (read_nibble_field(chars + 4, 2) << 8) |
                                   read_nibble_field(chars + 6, 2);
    // Bits 7-1 of the exponent byte are a 7-bit two's-complement number.
    const int exponent = static_cast<int>(exponent_byte >> 1) - (exponent_byte >= 128 ? 128 : 0);
    const double magnitude = std::ldexp(static_cast<double>(fraction), exponent - 24);
    return (exponent_byte & 1u) != 0 ? -magnitude : magnitude;
}

datalog_header decode_header(const char* header_block) {
    return datalog_header{
        read_nibble_field(header_block, 6),      read_nibble_field(header_block + 6, 2),
        read_nibble_field(header_block + 8, 2),  read_nibble_field(header_block + 10, 2),
        read_nibble_field(header_block + 12, 2),
    };
}

bool header_is_consistent(const datalog_header& header) {
    return header.record_length >= 1 && header.record_length <= max_record_length &&
           packed_value_length * header.values_per_record <= 2 * header.record_length;
}

}  // namespace datalog
