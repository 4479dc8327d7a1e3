#include <sys/stat.h>
#include <unistd.h>

#include "datalog/stream_bytes.h"

namespace datalog {

// Through the stream, so that any kind of stream serves; unbuffered, it
// passes each request to the system, and a failed read keeps what came
// before it.
long read_bytes(std::FILE* stream, char* into, std::size_t size) {
    const std::size_t got = std::fread(into, 1, size, stream);
    if (got == 0 && std::ferror(stream) != 0) return -1;
    return static_cast<long>(got);
}

void cut_stream(std::FILE* stream, std::uint64_t size) {
    struct stat status;
    const int descriptor = fileno(stream);
    if (fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode))
        static_cast<void>(ftruncate(descriptor, static_cast<off_t>(size)));
}

}  // namespace datalog
