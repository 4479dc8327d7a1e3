// What opening the files asks of the system, one implementation per platform
// (platform_files-posix.cpp, platform_files-win32.cpp; the build picks one):
// questions about paths and open files, and the few calls on descriptors that
// open_file (open_file.h) and open_files.h build on.
#pragma once

#include <cstdio>
#include <string>

namespace app {

// True when `path` names an existing file system entry (the dropped-file
// test asks only this of the file-status query).
bool path_exists(const char* path);

// True when an entry of exactly the name `path` spells exists, each of its
// folders under its own name: as on Linux, "." and ".." follow only a folder
// that exists, and no trailing dot or space is dropped. For an argument that
// begins with '-', which was an option, not a path someone dropped.
bool entry_named_exactly(const char* path);

// Opens `path` for reading, as the bytes it holds; null on failure, and for
// a folder.
std::FILE* open_for_reading(const std::string& path);

enum class file_identity { different, same, unknown };

// Whether the two open descriptors reach one file; `unknown` where the system
// cannot say (its status query fails). Each platform file gives its reasons
// beside its answer.
file_identity same_open_file(int first, int second);

// True for a regular file that holds at least one byte.
bool has_content(int descriptor);

// Opens `path` for writing bytes, creating it but not truncating it; -1 on
// failure.
int open_for_writing(const std::string& path);

// Opens `path` for reading when it names the very file `descriptor` has open;
// -1 otherwise.
int open_same_for_reading(const std::string& path, int descriptor);

// The size of a regular file open on `descriptor`; -1 for anything else.
long long regular_file_size(int descriptor);

// Reads up to `size` bytes at `offset`: the count read, 0 at the end, -1 on
// failure. Where the descriptor's file position is afterwards is not said
// (POSIX's pread leaves it, Windows' read moves it): whoever reads on from the
// position positions the file first, as the converter does.
long read_at(int descriptor, long long offset, char* into, std::size_t size);

// Truncates the open file to 0 bytes; 0 on success.
int empty_file(int descriptor);

std::FILE* stream_for(int descriptor);
void close_descriptor(int descriptor);

}  // namespace app
