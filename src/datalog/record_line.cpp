#include "datalog/record_line.h"

#include <cstring>

#include "datalog/record_values_simd.h"
#include "datalog/value_format_fast.h"

namespace datalog {

void advance(record_number& number) {
    int i = 9;
    for (; number.text[i] == '9'; --i) number.text[i] = '0';
    number.text[i] = number.text[i] == ' ' ? '1' : static_cast<char>(number.text[i] + 1);
    if (i < number.first) number.first = i;
}

std::size_t format_record_line(const record_number& number, const char* record, unsigned values,
                               char* out) {
    const int start = number.first < 5 ? number.first : 5;  // at least five wide
    std::size_t length = static_cast<std::size_t>(10 - start);
    std::memcpy(out, number.text + start, 16);  // what follows the number is overwritten
    // The vector paths write the same characters as the scalar loop below,
    // which takes whatever values they leave.
    unsigned k = 0;
    if (avx512_values_available()) {
        format_values_avx512(record, values, out + length);
        k = values;
        length += 13 * values;
    } else if (avx2_values_available()) {
        for (; k + 8 <= values; k += 8, length += 8 * 13)
            format_eight_values_avx2(record + packed_value_length * k, out + length);
    }
    for (; k < values; ++k, length += 13) {
        // ", " and the same 11 characters as format_value(decode_packed_value(...)),
        // without the round trip through a double.
        const packed_fields value = decode_packed_fields(record + packed_value_length * k);
        std::memcpy(out + length, ", ", 2);
        format_fraction(value.negative, value.fraction, value.exponent, out + length + 2);
    }
    out[length++] = '\n';
    return length;
}

std::size_t format_progress_line(const record_number& number, char* out) {
    // Fixed-size pieces, each overwriting what the one before wrote past its text.
    static const char head[] = "Unpacking record ";
    static const char tail[16] = {' ', 'f', 'r', 'o', 'm', ' ', '.', 'K',
                                  'Y', 'X', ' ', 'f', 'i', 'l', 'e', '\n'};
    std::memcpy(out, head, 17);
    std::memcpy(out + 17, number.text + number.first, 16);
    const std::size_t digits = static_cast<std::size_t>(10 - number.first);
    std::memcpy(out + 17 + digits, tail, 16);
    return 17 + digits + 16;
}

}  // namespace datalog
