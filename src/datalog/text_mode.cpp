#include "datalog/text_mode.h"

#include <cstdarg>
#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace datalog {
namespace {

constexpr char cr = '\r';
constexpr char end_of_text = '\x1A';

// The index of the first CR or 0x1A, or `size`. Where the build has SSE2
// (every x86-64, and the 32-bit Windows program), 32 bytes a step; a datalog
// has neither byte, so this runs over all of it.
std::size_t find_cr_or_end(const char* bytes, std::size_t size) {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i crs = _mm_set1_epi8(cr), ends = _mm_set1_epi8(end_of_text);
    for (; i + 32 <= size; i += 32) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i + 16));
        const __m128i hits =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(a, crs), _mm_cmpeq_epi8(a, ends)),
                         _mm_or_si128(_mm_cmpeq_epi8(b, crs), _mm_cmpeq_epi8(b, ends)));
        if (_mm_movemask_epi8(hits) != 0) break;
    }
#endif
    while (i < size && bytes[i] != cr && bytes[i] != end_of_text) ++i;
    return i;
}

}  // namespace

void write_text(std::FILE* stream, text_mode mode, std::string_view text) {
    if (mode == text_mode::bytes) {
        std::fwrite(text.data(), 1, text.size(), stream);
        return;
    }
    // One write for the whole text, as a text-mode stream without a buffer
    // would pass it on.
    std::string lines;
    lines.reserve(text.size() + 8);
    for (const char c : text) {
        if (c == '\n')
            lines += line_end(mode);
        else
            lines += c;
    }
    std::fwrite(lines.data(), 1, lines.size(), stream);
}

void print_text(std::FILE* stream, text_mode mode, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    std::va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, arguments);
    va_end(arguments);
    if (length > 0) {
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        std::vsnprintf(&text[0], text.size(), format, again);
        text.pop_back();
        write_text(stream, mode, text);
    }
    va_end(again);
}

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
