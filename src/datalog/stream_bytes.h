// The bytes under the conversion's input stream, one implementation per
// platform (stream_bytes-posix.cpp, stream_bytes-win32.cpp; the build picks
// one).
#pragma once

#include <cstddef>
#include <cstdio>

namespace datalog {

// Reads up to `size` bytes at the stream's position, each read going to the
// system: the count delivered, 0 at the end of the input, -1 when a read
// fails. Bytes a failing read delivered before it failed are counted.
long read_bytes(std::FILE* stream, char* into, std::size_t size);

}  // namespace datalog
