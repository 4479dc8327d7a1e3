#include "datalog/text_mode.h"

#include <cstdint>
#include <cstring>

namespace datalog {
namespace {

constexpr char cr = '\r';
constexpr char end_of_text = '\x1A';

// The index of the first CR or 0x1A, or `size`: eight bytes a step, each word
// tested for a zero byte after the two bytes are subtracted out.
std::size_t find_cr_or_end(const char* bytes, std::size_t size) {
    constexpr std::uint64_t ones = 0x0101010101010101u, highs = 0x8080808080808080u;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        const std::uint64_t a = word ^ (ones * 0x0D), b = word ^ (ones * 0x1A);
        if ((((a - ones) & ~a) | ((b - ones) & ~b)) & highs) break;
    }
    while (i < size && bytes[i] != cr && bytes[i] != end_of_text) ++i;
    return i;
}

}  // namespace

folded_text fold_text_mode(char* bytes, std::size_t size, bool at_end) {
    std::size_t in = find_cr_or_end(bytes, size);
    std::size_t out = in;
    while (in < size) {  // bytes[in] is a CR or 0x1A
        if (bytes[in] == end_of_text) return {out, false, true};
        if (in + 1 == size && !at_end) return {out, true, false};
        if (in + 1 < size && bytes[in + 1] == '\n')
            ++in;  // the pair gives its LF, copied with the run that follows
        else
            bytes[out++] = bytes[in++];
        const std::size_t next = in + find_cr_or_end(bytes + in, size - in);
        std::memmove(bytes + out, bytes + in, next - in);
        out += next - in;
        in = next;
    }
    return {out, false, false};
}

}  // namespace datalog
