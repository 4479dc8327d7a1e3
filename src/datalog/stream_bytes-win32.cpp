#include <io.h>

#include "datalog/stream_bytes.h"

namespace datalog {

// Past the stream, with the runtime's low-level read: its fread delivers
// nothing of a request once a later read within it fails (seen under Wine),
// and the records before a failed read must be kept.
long read_bytes(std::FILE* stream, char* into, std::size_t size) {
    return _read(_fileno(stream), into, static_cast<unsigned>(size));
}

}  // namespace datalog
