#include "datalog/record_line.h"

#include <cstring>

namespace datalog {

namespace {

#if defined(__BYTE_ORDER__)
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the record number's words are little-endian");
#endif

// The eight digits of x (below 10^8) as characters in a little-endian word:
// x as two four-digit halves, each as two two-digit quarters, each as two
// one-digit bytes, all at once (each step's products stay within its part).
std::uint64_t eight_digits(std::uint32_t x) {
    std::uint64_t parts = x / 10000 + (static_cast<std::uint64_t>(x % 10000) << 32);
    const std::uint64_t hundreds = ((parts * 10486) >> 20) & 0x0000007F0000007Fu;
    parts = hundreds + ((parts - hundreds * 100) << 16);
    const std::uint64_t tens = ((parts * 103) >> 10) & 0x000F000F000F000Fu;
    parts = tens + ((parts - tens * 10) << 8);
    return parts + 0x3030303030303030u;
}

// The characters `bytes` (0-15) on from the start of the 16 characters (low,
// high), written as 16 characters at `out`.
void write_from(std::uint64_t low, std::uint64_t high, int bytes, char* out) {
    if (bytes >= 8) {
        low = high >> (8 * (bytes - 8));
        high = 0;
    } else if (bytes > 0) {
        low = (low >> (8 * bytes)) | (high << (64 - 8 * bytes));
        high >>= 8 * bytes;
    }
    std::memcpy(out, &low, 8);
    std::memcpy(out + 8, &high, 8);
}

void set_text(record_number& number) {
    const std::uint32_t top = number.value / 100000000;  // 0 ... 42
    const std::uint64_t low_digits = eight_digits(number.value % 100000000);
    std::uint64_t low = (0x3030u + top / 10 + ((top % 10) << 8)) | (low_digits << 16);
    std::uint64_t high = low_digits >> 48;
    // The zeros before the first digit become spaces ('0' - 0x10).
    if (number.first >= 8) {
        low -= 0x1010101010101010u;
        high -= 0x1010101010101010u & ((std::uint64_t{1} << (8 * (number.first - 8))) - 1);
    } else {
        low -= 0x1010101010101010u & ((std::uint64_t{1} << (8 * number.first)) - 1);
    }
    number.text_low = low;
    number.text_high = high;
}

}  // namespace

record_number record_number_at(std::uint32_t value) {
    record_number number;
    number.value = value;
    while (value >= number.next_power) {
        --number.first;
        number.next_power *= 10;
    }
    set_text(number);
    return number;
}

void advance(record_number& number) {
    ++number.value;
    // Nine times in ten only the last digit, character 9, changes.
    if (((number.text_high >> 8) & 0xFF) != '9') {
        number.text_high += 0x100;
        return;
    }
    if (number.value == number.next_power) {
        --number.first;
        number.next_power *= 10;
    }
    set_text(number);
}

std::size_t format_record_line(const record_number& number, const char* record, unsigned values,
                               bool crlf, char* out) {
    const int start = number.first < 5 ? number.first : 5;  // at least five wide
    std::size_t length = static_cast<std::size_t>(10 - start);
    write_from(number.text_low, number.text_high, start, out);  // the values overwrite what follows
    format_values(record, values, out + length);
    length += value_entry_length * values;
    out[length] = '\r';
    out[length + crlf] = '\n';
    return length + crlf + 1;
}

std::size_t format_progress_line(const record_number& number, bool crlf, char* out) {
    // Fixed-size pieces, each overwriting what the one before wrote past its text.
    static const char head[] = "Unpacking record ";
    static const char tail[16] = {' ', 'f', 'r', 'o', 'm', ' ', '.', 'K',
                                  'Y', 'X', ' ', 'f', 'i', 'l', 'e', '\r'};
    std::memcpy(out, head, 17);
    write_from(number.text_low, number.text_high, number.first, out + 17);
    const std::size_t digits = static_cast<std::size_t>(10 - number.first);
    std::memcpy(out + 17 + digits, tail, 16);
    const std::size_t length = 17 + digits + 15 + crlf;
    out[length] = '\n';
    return length + 1;
}

}  // namespace datalog
