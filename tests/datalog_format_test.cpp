#include "datalog/datalog_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using datalog::datalog_header;

TEST(DatalogFormat, HexDigitValue) {
    const std::string digits = "0123456789ABCDEF";
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(datalog::hex_digit_value(digits[i]), i);
        EXPECT_EQ(datalog::hex_digit_value(static_cast<char>(std::tolower(digits[i]))), i);
    }
    for (const char other : {'\0', ' ', 'G', 'g', 'x', '/', ':', '@', '`', '\xFF', '\x80'})
        EXPECT_EQ(datalog::hex_digit_value(other), 0) << static_cast<int>(other);
}

TEST(DatalogFormat, NibbleFieldsReadLeastSignificantDigitFirst) {
    const struct {
        const char* chars;
        int count;
        std::uint32_t value;
    } cases[] = {
        {"21", 2, 0x12},
        {"FF", 2, 255},
        {"ff", 2, 255},
        {"fF", 2, 255},
        {"A00000", 6, 10},
        {"0A0000", 6, 160},
        {"G1", 2, 16},
        {"FFFFFF", 6, 0xFFFFFF},
        {"000000", 6, 0},
        {"12345678", 8, 0x87654321},
        {"FFFFFFFF", 8, 0xFFFFFFFF},
        {"21", 0, 0},
        {"21", -3, 0},
        {"7", 1, 7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(datalog::read_nibble_field(c.chars, c.count), c.value)
            << c.chars << "/" << c.count;
}

TEST(DatalogFormat, PackedValuesDecodeExactly) {
    const struct {
        const char* chars;
        double value;
    } cases[] = {
        {"00000000", 0.0},
        {"20080000", 1.0},
        {"30080000", -1.0},
        {"40080000", 2.0},
        {"80080000", 8.0},
        {"EF080000", 0.25},
        {"ef080000", 0.25},
        {"1F080000", -0.001953125},
        {"A0C40000", 9.5},
        {"80FFFFFF", 15.999999046325684},
        {"2008 000", 1.0},
        {"20480000", 1.03125},
        {"C10C2E00", 12344.5},
        {"00000010", std::ldexp(1.0, -24)},             // exponent 0, smallest fraction
        {"08000010", std::ldexp(1.0, -88)},             // exponent -64: byte 0x80
        {"E7FFFFFF", std::ldexp(16777215.0, 63 - 24)},  // exponent 63: byte 0x7E
    };
    for (const auto& c : cases)
        EXPECT_EQ(datalog::decode_packed_value(c.chars), c.value) << c.chars;
    const double negative_zero = datalog::decode_packed_value("10000000");
    EXPECT_EQ(negative_zero, 0.0);
    EXPECT_TRUE(std::signbit(negative_zero));
}

TEST(DatalogFormat, HeaderFieldsAndEndMarker) {
    const std::string block = std::string("30000001044010") + std::string(114, 'F');
    const datalog_header header = datalog::decode_header(block.c_str());
    EXPECT_EQ(header.record_count, 3u);
    EXPECT_EQ(header.values_per_record, 16u);
    EXPECT_EQ(header.record_length, 64u);
    EXPECT_EQ(header.values_per_phase, 4u);
    EXPECT_EQ(header.phases_per_record, 1u);

    for (const char* marker : {"FF", "ff", "Ff", "fF"}) EXPECT_TRUE(datalog::is_end_marker(marker));
    for (const char* other : {"FE", "EF", "F", "00"}) EXPECT_FALSE(datalog::is_end_marker(other));
}

TEST(DatalogFormat, HeaderConsistency) {
    const struct {
        std::uint32_t values, length;
        bool consistent;
    } cases[] = {
        {16, 64, true},  {0, 64, true},     {0, 1, true},   {1, 4, true},
        {2, 8, true},    {16, 65, false},   {0, 0, false},  {1, 3, false},
        {17, 64, false}, {255, 255, false}, {3, 11, false}, {3, 12, true},
    };
    for (const auto& c : cases) {
        datalog_header header{0, c.values, c.length, 0, 0};
        EXPECT_EQ(datalog::header_is_consistent(header), c.consistent)
            << c.values << " values, length " << c.length;
    }
}

}  // namespace
