// What opening the files asks of the system, one implementation per platform
// (platform_files-posix.cpp, platform_files-win32.cpp; the build picks one).
#pragma once

#include <cstdio>
#include <string>

#include "datalog/text_mode.h"

namespace app {

// How text lines end and text input reads on this system. Every file and
// stream the program opens passes bytes as they are, and the program ends each
// line with this mode's line end itself (datalog/text_mode.h). Asked once,
// where the program starts.
datalog::text_mode system_text_mode();

// Makes sure standard input, output and error are open, on the null device
// where they were not, so that no file the program opens can take their place
// and receive console text; makes standard output and the error stream pass
// bytes as they are; and lets a write to a standard stream whose reader has
// gone fail, rather than end the program. False when that cannot be done.
bool open_standard_streams();

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
// failure.
long read_at(int descriptor, long long offset, char* into, std::size_t size);

// Truncates the open file to 0 bytes; 0 on success.
int empty_file(int descriptor);

std::FILE* stream_for(int descriptor);
void close_descriptor(int descriptor);

}  // namespace app
