// Large-block reading and writing over C streams, so that a conversion costs a
// few calls per 64 KiB rather than a few per record.
#pragma once

#include <cstddef>
#include <cstdio>

namespace datalog {

constexpr std::size_t chunk_size = 64 * 1024;

// Hands out consecutive pieces of a stream from one refilled buffer.
struct chunked_reader {
    std::FILE* stream;
    std::size_t begin = 0;  // first character not yet handed out
    std::size_t end = 0;    // one past the last character read
    bool at_end = false;    // the stream has delivered all it will
    char buffer[chunk_size];
};

// Moves the characters not yet handed out to the front and reads behind them
// until the buffer is full or the stream ends.
void refill(chunked_reader& reader);

// Points `*piece` at the next `size` (at most chunk_size) characters and returns
// how many there are: `size`, or fewer where the stream ends first.
inline std::size_t read_piece(chunked_reader& reader, std::size_t size, const char** piece) {
    if (reader.end - reader.begin < size && !reader.at_end) refill(reader);
    const std::size_t available = reader.end - reader.begin;
    const std::size_t delivered = available < size ? available : size;
    *piece = reader.buffer + reader.begin;
    reader.begin += delivered;
    return delivered;
}

// Collects text and writes it in chunks. A failed write is remembered by the
// stream's error indicator, which the stream's owner tests.
struct chunked_writer {
    std::FILE* stream;
    std::size_t used = 0;
    char buffer[chunk_size];
};

// Writes the collected characters to the stream and empties the buffer.
void flush(chunked_writer& writer);

// Room for `size` (at most chunk_size) more characters, flushing first where
// needed; `commit` then takes the characters written there.
inline char* reserve(chunked_writer& writer, std::size_t size) {
    if (chunk_size - writer.used < size) flush(writer);
    return writer.buffer + writer.used;
}
inline void commit(chunked_writer& writer, std::size_t size) {
    writer.used += size;
}

}  // namespace datalog
