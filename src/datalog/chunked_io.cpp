#include "datalog/chunked_io.h"

#include <cstring>

#include "datalog/stream_bytes.h"

namespace datalog {

namespace {

// Reads the next bytes at buffer + end, up to the buffer's end, and folds
// them as text mode would; false when nothing more will come.
bool read_more(chunked_reader& reader) {
    const std::size_t capacity = reader.capacity;
    const std::size_t start = reader.end;
    if (reader.held_cr) reader.buffer[reader.end++] = '\r';  // read again with its next byte
    const long got = read_bytes(reader.stream, reader.buffer + reader.end, capacity - reader.end);
    if (got <= 0) {
        reader.at_end = true;
        reader.failed = got < 0;
    } else {
        reader.end += static_cast<std::size_t>(got);
    }
    if (reader.mode == text_mode::bytes) return !reader.at_end;
    const folded_text folded =
        fold_text_mode(reader.buffer + start, reader.end - start, reader.at_end);
    reader.end = start + folded.length;
    reader.held_cr = folded.held_cr;
    if (folded.ended) reader.at_end = true;
    return !reader.at_end;
}

}  // namespace

void refill(chunked_reader& reader, char* buffer) {
    const std::size_t kept = reader.end - reader.begin;
    assert(kept <= max_piece);
    std::memmove(buffer + max_piece - kept, reader.buffer + reader.begin, kept);
    reader.buffer = buffer;
    reader.begin = max_piece - kept;
    reader.end = max_piece;
    if (reader.at_end) return;
    // A held CR needs room for itself and at least one byte after it.
    while (reader.end + (reader.held_cr ? 1 : 0) < reader.capacity && read_more(reader)) {
    }
}

}  // namespace datalog
