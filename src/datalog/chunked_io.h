// Large-block reading and writing over C streams, so that a conversion costs a
// few calls per 64 KiB rather than a few per record. Both move whole 64 KiB
// chunks (but for the last), which an unbuffered C stream passes to the system
// as they are, without splitting them or copying them through a buffer.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdio>

#include "datalog/text_mode.h"

namespace datalog {

constexpr std::size_t chunk_size = 64 * 1024;
// The largest piece read or reserved at once.
constexpr std::size_t max_piece = 512;

// Hands out consecutive pieces of a stream from one refilled buffer: chunks
// are read at buffer + max_piece, behind what is left of the last one. With
// text_mode::windows the pieces are the bytes as Windows' text mode delivers
// them (fold_text_mode).
struct chunked_reader {
    std::FILE* stream;
    text_mode mode = text_mode::bytes;
    std::size_t begin = max_piece;                    // first character not yet handed out
    std::size_t end = max_piece;                      // one past the last character read
    bool at_end = false;                              // the stream has delivered all it will
    bool failed = false;                              // ... because a read failed
    bool held_cr = false;                             // a CR read last, waiting for its next byte
    alignas(64) char buffer[max_piece + chunk_size];  // chunks start on a cache line
};

// Moves the characters not yet handed out to just before buffer + max_piece
// and reads the next chunk there, as much of it as the stream has (reads go to
// the system, read_bytes).
void refill(chunked_reader& reader);

// Points `*piece` at the next `size` (at most max_piece) characters and returns
// how many there are: `size`, or fewer where the stream ends first.
inline std::size_t read_piece(chunked_reader& reader, std::size_t size, const char** piece) {
    assert(size <= max_piece);
    if (reader.end - reader.begin < size && !reader.at_end) refill(reader);
    const std::size_t available = reader.end - reader.begin;
    const std::size_t delivered = available < size ? available : size;
    *piece = reader.buffer + reader.begin;
    reader.begin += delivered;
    return delivered;
}

// Collects text and writes it a chunk at a time. A failed write is remembered
// by the stream's error indicator, which the stream's owner tests, and in
// `failed`, so that the writer's user can stop at once.
struct chunked_writer {
    std::FILE* stream;
    std::size_t used = 0;  // always below chunk_size between calls
    bool failed = false;   // a write passed on fewer bytes than it was given
    alignas(64) char buffer[chunk_size + max_piece];
};

// Writes the first chunk and moves what follows it to the front.
void write_chunk(chunked_writer& writer);

// Writes what is collected and empties the buffer.
void flush(chunked_writer& writer);

// Room for up to max_piece more characters; `commit` then takes the
// characters written there.
inline char* reserve(chunked_writer& writer) {
    return writer.buffer + writer.used;
}
inline void commit(chunked_writer& writer, std::size_t size) {
    writer.used += size;
    if (writer.used >= chunk_size) write_chunk(writer);
}

}  // namespace datalog
