#include <fcntl.h>
#include <io.h>

#include "datalog/stream_bytes.h"

namespace datalog {

text_mode system_text_mode() {
    return text_mode::windows;
}

int pass_bytes(std::FILE* stream) {
    return _setmode(_fileno(stream), _O_BINARY);
}

void restore_mode(std::FILE* stream, int mode) {
    if (mode != -1) _setmode(_fileno(stream), mode);
}

// Past the stream, with the runtime's low-level read: its fread delivers
// nothing of a request once a later read within it fails (seen under Wine),
// and the records before a failed read must be kept.
long read_bytes(std::FILE* stream, char* into, std::size_t size) {
    return _read(_fileno(stream), into, static_cast<unsigned>(size));
}

}  // namespace datalog
