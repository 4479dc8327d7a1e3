// Text mode done by the conversion itself, over streams that pass bytes as
// they are. Windows' C runtime writes each line end as CR LF, and on reading
// delivers a CR LF pair as LF and ends the input at a byte 0x1A; doing this
// here costs one search per 64 KiB chunk instead of a copy byte by byte.
#pragma once

#include <cstddef>

namespace datalog {

// What text mode does on the system: nothing (POSIX), or Windows' translation.
enum class text_mode { bytes, windows };

struct folded_text {
    std::size_t length;  // characters delivered, at the start of the bytes
    bool held_cr;        // the last byte is a CR left out: it needs the next byte
    bool ended;          // a byte 0x1A ends the input: nothing after it counts
};

// Folds `size` bytes in place into what Windows' text mode delivers for them:
// a CR LF pair gives LF, a byte 0x1A ends the input, any other byte (a lone CR
// too) is itself. A CR as the last byte is delivered as it is when `at_end`
// says the input ends there, and otherwise held back for the caller to put in
// front of the next bytes.
folded_text fold_text_mode(char* bytes, std::size_t size, bool at_end);

}  // namespace datalog
