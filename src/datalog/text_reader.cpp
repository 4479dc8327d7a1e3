#include "datalog/text_reader.h"

#include "datalog/stream_bytes.h"

namespace datalog {

std::size_t text_reader::read(char* into, std::size_t size) {
    std::size_t got = 0;
    if (has_next_ && size != 0) {
        into[got++] = next_;
        has_next_ = false;
    }
    while (got < size && !ended_) {
        if (held_cr_ && size - got == 1) {
            into[got++] = settle_held_cr();
            continue;
        }
        const std::size_t start = got;
        if (held_cr_) into[got++] = '\r';  // folded again, with the bytes after it
        const long bytes = read_bytes(stream_, into + got, size - got);
        if (bytes <= 0) {
            ended_ = true;
            failed_ = bytes < 0;
        } else {
            got += static_cast<std::size_t>(bytes);
        }
        if (mode_ == text_mode::bytes) continue;
        const folded_text folded = fold_text_mode(into + start, got - start, ended_);
        got = start + folded.length;
        held_cr_ = folded.held_cr;
        if (folded.ended) ended_ = true;
    }
    return got;
}

char text_reader::settle_held_cr() {
    held_cr_ = false;
    char byte = 0;
    const long bytes = read_bytes(stream_, &byte, 1);
    if (bytes <= 0) {
        ended_ = true;
        failed_ = bytes < 0;
        return '\r';
    }
    if (byte == '\n') return '\n';  // the pair gives its LF
    if (byte == '\x1A') {
        ended_ = true;
        return '\r';
    }
    if (byte == '\r') {
        held_cr_ = true;
    } else {
        next_ = byte;
        has_next_ = true;
    }
    return '\r';
}

}  // namespace datalog
