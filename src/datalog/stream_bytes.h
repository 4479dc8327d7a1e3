// The bytes under the conversion's streams, one implementation per platform
// (stream_bytes-posix.cpp, stream_bytes-win32.cpp; the build picks one).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace datalog {

// Reads up to `size` bytes at the stream's position, each read going to the
// system: the count delivered, 0 at the end of the input, -1 when a read
// fails. Bytes a failing read delivered before it failed are counted.
long read_bytes(std::FILE* stream, char* into, std::size_t size);

// Cuts the file under an output stream back to its first `size` bytes, where
// it is a regular file (shrinking takes no space); a pipe or a device is left
// as it is.
void cut_stream(std::FILE* stream, std::uint64_t size);

}  // namespace datalog
