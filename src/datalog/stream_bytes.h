// The bytes under the conversion's streams, one implementation per platform
// (stream_bytes-posix.cpp, stream_bytes-win32.cpp; the build picks one).
#pragma once

#include <cstddef>
#include <cstdio>

#include "datalog/text_mode.h"

namespace datalog {

// What the system's text-mode streams do to text.
text_mode system_text_mode();

// Makes the stream pass bytes as they are, and returns its mode before, for
// restore_mode; a stream that always does keeps its mode.
int pass_bytes(std::FILE* stream);
void restore_mode(std::FILE* stream, int mode);

// Reads up to `size` bytes at the stream's position, each read going to the
// system: the count delivered, 0 at the end of the input, -1 when a read
// fails. Bytes a failing read delivered before it failed are counted.
long read_bytes(std::FILE* stream, char* into, std::size_t size);

}  // namespace datalog
