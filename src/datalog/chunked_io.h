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

// Points `*piece` at the next `size` (at most chunk_size) characters and returns
// how many there are: `size`, or fewer where the stream ends first.
std::size_t read_piece(chunked_reader& reader, std::size_t size, const char** piece);

// Collects text and writes it in chunks. A failed write is remembered by the
// stream's error indicator, which the stream's owner tests.
struct chunked_writer {
    std::FILE* stream;
    std::size_t used = 0;
    char buffer[chunk_size];
};

// Room for `size` (at most chunk_size) more characters, flushing first where
// needed; `commit` then takes the characters written there.
char* reserve(chunked_writer& writer, std::size_t size);
inline void commit(chunked_writer& writer, std::size_t size) {
    writer.used += size;
}
void flush(chunked_writer& writer);

}  // namespace datalog
