#include "datalog/record_line.h"

#include <array>
#include <cstring>
#include <string_view>

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

// The record number's text as written: its two words, 16 characters.
constexpr std::size_t number_text_length = 2 * sizeof(std::uint64_t);
static_assert(number_text_length > record_number_width, "the words hold the widest number");

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

// Writes the line end of `mode` at `out`, one or two characters, without a
// branch: its first character, then its last over or after it. Returns its
// length.
std::size_t write_line_end(text_mode mode, char* out) {
    const std::string_view end = line_end(mode);
    static_assert(
        line_end(text_mode::bytes).size() <= 2 && line_end(text_mode::windows).size() <= 2,
        "a line end is its first and last character");
    out[0] = end.front();
    out[end.size() - 1] = end.back();
    return end.size();
}

constexpr std::string_view progress_head = "Unpacking record ";
constexpr std::string_view progress_tail = " from .KYX file";

// The tail and the first character of the longest line end, copied as one
// fixed-size piece; write_line_end then writes the line end over it.
constexpr std::array<char, progress_tail.size() + 1> progress_tail_and_cr = [] {
    std::array<char, progress_tail.size() + 1> piece{};
    for (std::size_t i = 0; i < progress_tail.size(); ++i) piece[i] = progress_tail[i];
    piece[progress_tail.size()] = line_end(text_mode::windows).front();
    return piece;
}();

static_assert(progress_head.size() + number_text_length + progress_tail_and_cr.size() + 1 <=
                  progress_line_capacity,
              "every piece of a progress line fits");
static_assert(number_text_length <= record_line_capacity, "a record line's number fits");

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
                               value_format format, text_mode mode, char* out) {
    const int start = number.first < 5 ? number.first : 5;  // at least five wide
    std::size_t length = record_number_width - static_cast<std::size_t>(start);
    write_from(number.text_low, number.text_high, start, out);  // the values overwrite what follows
    format(record, values, out + length);
    length += value_entry_length * values;
    return length + write_line_end(mode, out + length);
}

std::size_t format_progress_line(const record_number& number, text_mode mode, char* out) {
    // Fixed-size pieces, each overwriting what the one before wrote past its text.
    std::memcpy(out, progress_head.data(), progress_head.size());
    char* digits_at = out + progress_head.size();
    write_from(number.text_low, number.text_high, number.first, digits_at);
    char* tail_at = digits_at + record_number_width - static_cast<std::size_t>(number.first);
    std::memcpy(tail_at, progress_tail_and_cr.data(), progress_tail_and_cr.size());
    char* end_at = tail_at + progress_tail.size();
    return static_cast<std::size_t>(end_at - out) + write_line_end(mode, end_at);
}

}  // namespace datalog
