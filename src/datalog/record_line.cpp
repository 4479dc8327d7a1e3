#include "datalog/record_line.h"

#include <cstring>

#include "datalog/value_format_fast.h"

namespace datalog {

std::size_t format_decimal(std::uint32_t n, char* out) {
    char reversed[10];
    std::size_t count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    for (std::size_t i = 0; i < count; ++i) out[i] = reversed[count - 1 - i];
    return count;
}

std::size_t format_record_line(std::uint32_t number, const char* record, unsigned values,
                               char* out) {
    char digits[10];
    const std::size_t digit_count = format_decimal(number, digits);
    std::size_t length = 0;
    for (; length + digit_count < 5; ++length) out[length] = ' ';
    std::memcpy(out + length, digits, digit_count);
    length += digit_count;
    for (unsigned k = 0; k < values; ++k) {
        out[length++] = ',';
        out[length++] = ' ';
        // The same text as format_value(decode_packed_value(...)), without the
        // round trip through a double.
        const packed_fields value = decode_packed_fields(record + packed_value_length * k);
        length += format_fraction(value.negative, value.fraction, value.exponent, out + length);
    }
    out[length++] = '\n';
    return length;
}

std::size_t format_progress_line(std::uint32_t number, char* out) {
    static const char head[] = "Unpacking record ";
    static const char tail[] = " from .KYX file\n";
    std::memcpy(out, head, sizeof head - 1);
    std::size_t length = sizeof head - 1;
    length += format_decimal(number, out + length);
    std::memcpy(out + length, tail, sizeof tail - 1);
    return length + sizeof tail - 1;
}

}  // namespace datalog
