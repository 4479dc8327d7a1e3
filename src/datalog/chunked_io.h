// Large-block reading over C streams, so that a conversion costs a few calls
// per 64 KiB rather than a few per record: whole chunks, which an unbuffered C
// stream passes to the system as they are, without copying them through a
// buffer of its own.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdio>

#include "datalog/text_mode.h"

namespace datalog {

constexpr std::size_t chunk_size = 64 * 1024;
// The largest piece read or reserved at once.
constexpr std::size_t max_piece = 512;

// Hands out consecutive pieces of a stream from a refilled buffer: chunks are
// read at buffer + max_piece, behind what is left of the last one, up to
// buffer + capacity. The buffer is the reader's user's, and may change at
// each refill. With text_mode::windows the pieces are the bytes as Windows'
// text mode delivers them (fold_text_mode).
struct chunked_reader {
    std::FILE* stream;
    text_mode mode = text_mode::bytes;
    char* buffer = nullptr;                         // room for `capacity` characters
    std::size_t capacity = max_piece + chunk_size;  // where reading into the buffer stops
    std::size_t begin = max_piece;                  // first character not yet handed out
    std::size_t end = max_piece;                    // one past the last character read
    bool at_end = false;                            // the stream has delivered all it will
    bool failed = false;                            // ... because a read failed
    bool held_cr = false;                           // a CR read last, waiting for its next byte
};

// Moves the characters not yet handed out (at most max_piece) to just before
// `buffer` + max_piece, which then becomes the reader's buffer (it may be the
// same), and unless the stream has ended, reads after them up to the
// reader's capacity, as much as the stream has (reads go to the system,
// read_bytes).
void refill(chunked_reader& reader, char* buffer);

// Points `*piece` at the next `size` (at most max_piece) characters and returns
// how many there are: `size`, or fewer where the stream ends first.
inline std::size_t read_piece(chunked_reader& reader, std::size_t size, const char** piece) {
    assert(size <= max_piece);
    if (reader.end - reader.begin < size && !reader.at_end) refill(reader, reader.buffer);
    const std::size_t available = reader.end - reader.begin;
    const std::size_t delivered = available < size ? available : size;
    *piece = reader.buffer + reader.begin;
    reader.begin += delivered;
    return delivered;
}

}  // namespace datalog
