#include "datalog/chunked_io.h"

#include <cstring>

namespace datalog {

std::size_t read_piece(chunked_reader& reader, std::size_t size, const char** piece) {
    if (reader.end - reader.begin < size && !reader.at_end) {
        const std::size_t kept = reader.end - reader.begin;
        std::memmove(reader.buffer, reader.buffer + reader.begin, kept);
        reader.begin = 0;
        reader.end = kept;
        while (reader.end < chunk_size) {
            const std::size_t got =
                std::fread(reader.buffer + reader.end, 1, chunk_size - reader.end, reader.stream);
            if (got == 0) {
                reader.at_end = true;
                break;
            }
            reader.end += got;
        }
    }
    const std::size_t available = reader.end - reader.begin;
    const std::size_t delivered = available < size ? available : size;
    *piece = reader.buffer + reader.begin;
    reader.begin += delivered;
    return delivered;
}

char* reserve(chunked_writer& writer, std::size_t size) {
    if (chunk_size - writer.used < size) flush(writer);
    return writer.buffer + writer.used;
}

void flush(chunked_writer& writer) {
    if (writer.used != 0) std::fwrite(writer.buffer, 1, writer.used, writer.stream);
    writer.used = 0;
}

}  // namespace datalog
