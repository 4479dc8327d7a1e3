#include "datalog/chunked_io.h"

#include <cstring>

namespace datalog {

void refill(chunked_reader& reader) {
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

void flush(chunked_writer& writer) {
    if (writer.used != 0) std::fwrite(writer.buffer, 1, writer.used, writer.stream);
    writer.used = 0;
}

}  // namespace datalog
