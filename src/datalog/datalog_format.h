// The datalog file format and its decoders.
//
// A datalog file holds 1024 bytes that are not read, a 128-character header
// block, and then records of 2 * record_length characters, back to back. From
// byte 1024 on every data byte is two hexadecimal digit characters, the low
// nibble first; multi-byte integers store their bytes least significant first.
#pragma once

#include <array>
#include <cstdint>

namespace datalog {

constexpr long header_offset = 1024;
constexpr int header_length = 128;
// A record is at most 128 characters: 64 two-character units, 16 values.
constexpr unsigned max_record_length = 64;
constexpr unsigned packed_value_length = 8;
constexpr unsigned max_values_per_record = 2 * max_record_length / packed_value_length;
// Records run to the end marker, at most this many, when the header gives no count.
constexpr std::uint32_t default_record_limit = 1000000;
// A record whose first two characters read 255 (FF, ff, Ff or fF) ends the records.
constexpr std::uint32_t end_marker = 255;

struct datalog_header {
    std::uint32_t record_count;       // 0: not given, records run to the end marker
    std::uint32_t values_per_record;  // packed values in each record
    std::uint32_t record_length;      // two-character units in each record
    std::uint32_t values_per_phase;   // reported only
    std::uint32_t phases_per_record;  // reported only
};

// '0'-'9', 'A'-'F' and 'a'-'f' give 0-15; every other character gives 0.
int hex_digit_value(char c);

// The same for every byte value, as a table: the one the AVX-512 path's tables
// are built from too.
inline constexpr std::array<std::uint8_t, 256> hex_digit_table = [] {
    std::array<std::uint8_t, 256> table{};
    for (int c = '0'; c <= '9'; ++c) table[c] = static_cast<std::uint8_t>(c - '0');
    for (int c = 'A'; c <= 'F'; ++c) table[c] = static_cast<std::uint8_t>(c - 'A' + 10);
    for (int c = 'a'; c <= 'f'; ++c) table[c] = static_cast<std::uint8_t>(c - 'a' + 10);
    return table;
}();

// The value of `count` characters read as hexadecimal digits, least significant
// digit first ("21" gives 0x12). Exact for up to 8 characters; 0 for count <= 0.
std::uint32_t read_nibble_field(const char* chars, int count);

// The fields of a packed value: (negative ? -1 : 1) * fraction / 2^24 * 2^exponent.
struct packed_fields {
    bool negative;
    int exponent;            // -64 ... 63
    std::uint32_t fraction;  // 24 bits
};

// The byte held by each pair of characters (low nibble first), indexed by
// first + 256 * second.
extern const std::array<std::uint8_t, 65536> hex_pair_table;

// The fields of the 8-character packed value at `chars`: byte 0 holds the
// sign (bit 0) and a 7-bit two's-complement binary exponent (bits 7-1); bytes
// 1-3 hold the fraction, most significant byte first.
inline packed_fields decode_packed_fields(const char* chars) {
    std::uint32_t bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] =
            hex_pair_table[static_cast<unsigned char>(chars[2 * i]) |
                           (static_cast<unsigned>(static_cast<unsigned char>(chars[2 * i + 1]))
                            << 8)];
    // Bits 7-1 of byte 0 are a 7-bit two's-complement number: the byte read as
    // signed, halved with the sign kept.
    const int exponent = static_cast<int>(static_cast<std::int8_t>(bytes[0])) >> 1;
    return {(bytes[0] & 1u) != 0, exponent, (bytes[1] << 16) | (bytes[2] << 8) | bytes[3]};
}

// The value of the 8-character packed value at `chars`, exactly.
double decode_packed_value(const char* chars);

// Decodes the five header fields from the 128-character header block.
datalog_header decode_header(const char* header_block);

// True when the first two characters of a record form the end marker.
inline bool is_end_marker(const char* record) {
    return hex_pair_table[static_cast<unsigned char>(record[0]) |
                          static_cast<unsigned>(static_cast<unsigned char>(record[1])) << 8] ==
           end_marker;
}

// True when every record is 1 to 64 units long and holds all of its values.
// Any other header would make the converter decode values from outside the
// record it has just read.
bool header_is_consistent(const datalog_header& header);

}  // namespace datalog
