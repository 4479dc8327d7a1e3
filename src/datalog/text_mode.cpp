#include "datalog/text_mode.h"

#include <cstring>

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
