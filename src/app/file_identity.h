// Opening the files with questions the standard streams cannot answer: is the
// input a directory, and does the output name the file being read.
#pragma once

#include <cstdio>
#include <string>

namespace app {

// True when the open stream reads a directory (Linux lets fopen open one).
bool is_directory(std::FILE* stream);

struct output_file {
    std::FILE* stream = nullptr;  // open for writing in text mode, emptied
    bool is_input = false;        // the path names the file `input` reads
};

// Opens `path` as fopen(path, "w") would, but decides from the two open files,
// before anything is truncated, whether it is the file `input` reads; then it
// closes it again and sets `is_input`, leaving the file untouched. This
// catches every spelling the runtime can open: links, "..", letter case, short
// and long names. A file that did not exist is created; a device (NUL,
// /dev/null) is opened as it is. On any other failure `stream` is null.
output_file open_output(const std::string& path, std::FILE* input);

}  // namespace app
