#include "datalog/datalog_format.h"

#include <array>
#include <cstring>

namespace datalog {
namespace {

constexpr std::array<std::uint8_t, 65536> make_pair_table() {
    std::array<std::uint8_t, 65536> table{};
    for (int i = 0; i < 65536; ++i)
        table[i] =
            static_cast<std::uint8_t>(hex_digit_table[i & 0xFF] | (hex_digit_table[i >> 8] << 4));
    return table;
}

}  // namespace

extern const std::array<std::uint8_t, 65536> hex_pair_table = make_pair_table();

int hex_digit_value(char c) {
    return hex_digit_table[static_cast<unsigned char>(c)];
}

std::uint32_t read_nibble_field(const char* chars, int count) {
    std::uint32_t value = 0;
    for (int j = count - 1; j >= 0; --j)
        value = (value << 4) | hex_digit_table[static_cast<unsigned char>(chars[j])];
    return value;
}

double decode_packed_value(const char* chars) {
    const packed_fields fields = decode_packed_fields(chars);
    // The fraction converts exactly; scaling it by 2^(exponent - 24) is an
    // addition to the double's exponent field, which stays in the normal range.
    const double whole = static_cast<double>(fields.fraction);
    std::uint64_t bits;
    std::memcpy(&bits, &whole, sizeof bits);
    if (fields.fraction != 0)
        bits += static_cast<std::uint64_t>(static_cast<std::int64_t>(fields.exponent - 24)) << 52;
    bits |= static_cast<std::uint64_t>(fields.negative) << 63;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
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
