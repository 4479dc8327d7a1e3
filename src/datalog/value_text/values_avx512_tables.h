// The constant tables of the 512-bit value formatter: byte permutations and
// small lookup tables that the vectors index in registers.
#pragma once

#include <cstdint>

#include "datalog/datalog_format.h"
#include "datalog/value_text/digit_text.h"
#include "datalog/value_text/vector_constants.h"

namespace datalog {
namespace avx512_tables {

// The hexadecimal digit value of each 7-bit character; 0 for the others (the
// scalar table's first half).
struct hex_table {
    std::int8_t values[128];
};

constexpr hex_table make_hex_table() {
    hex_table table{};
    for (int c = 0; c < 128; ++c) table.values[c] = static_cast<std::int8_t>(hex_digit_table[c]);
    return table;
}

constexpr hex_table hex_values = make_hex_table();

// "E-27" ... "E+18" as 32-bit words, at exponent + 27, in three whole
// vectors (the last two words unused).
struct exponent_words {
    std::uint32_t words[48];
};
static_assert(vector_constants::max_decimal_exponent - vector_constants::min_decimal_exponent < 48,
              "every exponent has its word");

// The scalar path's exponent texts, each as one word (first character lowest).
constexpr exponent_words make_exponent_words() {
    exponent_words table{};
    for (int e = vector_constants::min_decimal_exponent;
         e <= vector_constants::max_decimal_exponent; ++e) {
        const auto& text = exponent_texts[e + 99];
        table.words[e - vector_constants::min_decimal_exponent] =
            static_cast<std::uint32_t>(text[0]) | static_cast<std::uint32_t>(text[1]) << 8 |
            static_cast<std::uint32_t>(text[2]) << 16 | static_cast<std::uint32_t>(text[3]) << 24;
    }
    return table;
}

constexpr exponent_words exponent_table = make_exponent_words();

// Where each output byte of four values (52 bytes) comes from, for the four
// values starting at lane 4 * chunk: the head ", ±d" (bytes 0-63 of the first
// table) and the decimals (64-127), then "E±dd" from the exponent words.
struct text_layout {
    std::uint8_t from_head_and_decimals[4][64];
    std::uint8_t from_exponent[4][64];
};

constexpr text_layout make_text_layout() {
    text_layout layout{};
    for (int chunk = 0; chunk < 4; ++chunk)
        for (int value = 0; value < 4; ++value) {
            const int lane = 4 * chunk + value, at = value_entry_length * value;
            for (int b = 0; b < 4; ++b) {
                layout.from_head_and_decimals[chunk][at + b] =
                    static_cast<std::uint8_t>(4 * lane + b);
                layout.from_head_and_decimals[chunk][at + 5 + b] =
                    static_cast<std::uint8_t>(64 + 4 * lane + b);
                layout.from_exponent[chunk][at + 9 + b] = static_cast<std::uint8_t>(4 * lane + b);
            }
        }
    return layout;
}

constexpr text_layout text_sources = make_text_layout();

// The bytes of four values' text where the exponent words go, and the point.
constexpr std::uint64_t repeat_per_entry(std::uint64_t bits) {
    constexpr unsigned n = value_entry_length;
    return bits | bits << n | bits << 2 * n | bits << 3 * n;
}

// Those bytes as vectors, 0xFF where the bit is set, for the masks to be moved
// in from them (a 64-bit constant costs 32-bit code a stalled load).
struct byte_selection {
    std::uint8_t bytes[64];
};

constexpr byte_selection selecting(std::uint64_t bits) {
    byte_selection selection{};
    for (int i = 0; i < 64; ++i) selection.bytes[i] = (bits >> i & 1) != 0 ? 0xFF : 0;
    return selection;
}

constexpr byte_selection exponent_bytes = selecting(repeat_per_entry(0xF << 9));
constexpr byte_selection point_bytes = selecting(repeat_per_entry(1 << 4));

// For each byte of the 16 words b0 << 24 | b1 << 16 | b2 << 8 | b3, the 16-bit
// pair holding it: the pairs of value v are 4v ... 4v + 3, in b0 ... b3 order.
struct byte_order {
    std::uint8_t bytes[64];
};

constexpr byte_order make_word_order() {
    byte_order order{};
    for (int i = 0; i < 64; ++i)
        order.bytes[i] = static_cast<std::uint8_t>(2 * ((i & ~3) + 3 - (i & 3)));
    return order;
}

constexpr byte_order word_order = make_word_order();

// The low 32-bit halves of sixteen 64-bit lanes held in two vectors.
struct word_indices {
    std::uint32_t indices[16];
};

constexpr word_indices even_words = {{0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30}};

}  // namespace avx512_tables
}  // namespace datalog
