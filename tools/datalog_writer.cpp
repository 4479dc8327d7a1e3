#include "datalog_writer.h"

#include <cmath>
#include <cstdio>

namespace datalog_writer {

std::string encode_field(std::uint32_t value, int chars) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (int j = 0; j < chars; ++j, value >>= 4) text += digits[value & 0xF];
    return text;
}

std::string encode_packed(bool negative, int exponent, std::uint32_t fraction) {
    const std::uint32_t exponent_bits = static_cast<std::uint32_t>(exponent) & 0x7F;
    const std::uint32_t byte0 = (exponent_bits << 1) | (negative ? 1u : 0u);
    return encode_field(byte0, 2) + encode_field((fraction >> 16) & 0xFF, 2) +
           encode_field((fraction >> 8) & 0xFF, 2) + encode_field(fraction & 0xFF, 2);
}

std::string random_packed(std::mt19937& rng) {
    bool negative = (rng() & 1u) != 0;
    const int exponent = static_cast<int>(rng() % 128) - 64;
    if (negative && exponent == -1) negative = false;  // exponent byte FF is the end marker
    return encode_packed(negative, exponent, rng() & 0xFFFFFF);
}

std::string encode_packed_value(double value) {
    const bool negative = std::signbit(value);
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent);  // in [0.5, 1)
    if (fraction == 0.0) return encode_packed(negative, 0, 0);
    double scaled = std::nearbyint(std::ldexp(fraction, 24));
    if (scaled >= 16777216.0) {  // rounded up to the next power of two
        scaled /= 2;
        ++exponent;
    }
    if (exponent > 63) return encode_packed(negative, 63, 0xFFFFFF);
    while (exponent < -64 && scaled >= 1) {  // below the range: shift out fraction bits
        scaled = std::nearbyint(scaled / 2);
        ++exponent;
    }
    if (exponent < -64) exponent = -64;
    return encode_packed(negative, exponent, static_cast<std::uint32_t>(scaled));
}

std::string preamble() {
    return std::string(1024, '0');
}

std::string header_block(const header_fields& header) {
    std::string block =
        encode_field(header.record_count, 6) + encode_field(header.values_per_record, 2) +
        encode_field(header.record_length, 2) + encode_field(header.values_per_phase, 2) +
        encode_field(header.phases_per_record, 2);
    block.resize(128, '0');
    return block;
}

std::string record(const std::vector<double>& values, std::uint32_t record_length) {
    std::string text;
    for (const double value : values) text += encode_packed_value(value);
    text.resize(2 * record_length, '0');
    return text;
}

std::string end_marker_record(std::uint32_t record_length) {
    std::string text = "FF";
    text.resize(2 * record_length, '0');
    return text;
}

std::string datalog(const header_fields& header, const std::vector<std::vector<double>>& records,
                    bool with_end_marker) {
    std::string text = preamble() + header_block(header);
    for (const auto& values : records) text += record(values, header.record_length);
    if (with_end_marker) text += end_marker_record(header.record_length);
    return text;
}

bool write_file(const std::string& path, const std::string& content) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace datalog_writer
