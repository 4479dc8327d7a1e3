#include "datalog/chunked_io.h"

#include <cstring>

namespace datalog {

void refill(chunked_reader& reader) {
    const std::size_t kept = reader.end - reader.begin;
    std::memmove(reader.buffer + max_piece - kept, reader.buffer + reader.begin, kept);
    reader.begin = max_piece - kept;
    reader.end = max_piece;
    while (reader.end < max_piece + chunk_size) {
        const std::size_t got = std::fread(reader.buffer + reader.end, 1,
                                           max_piece + chunk_size - reader.end, reader.stream);
        if (got == 0) {
            reader.at_end = true;
            reader.failed = std::ferror(reader.stream) != 0;
            break;
        }
        reader.end += got;
    }
}

void write_chunk(chunked_writer& writer) {
    std::fwrite(writer.buffer, 1, chunk_size, writer.stream);
    writer.used -= chunk_size;
    std::memmove(writer.buffer, writer.buffer + chunk_size, writer.used);
}

void flush(chunked_writer& writer) {
    if (writer.used != 0) std::fwrite(writer.buffer, 1, writer.used, writer.stream);
    writer.used = 0;
}

}  // namespace datalog
