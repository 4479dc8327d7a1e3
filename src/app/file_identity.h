// Opening the output with a question the standard streams cannot answer: does
// it name the file being read.
#pragma once

#include <cstdio>
#include <string>

namespace app {

struct output_file {
    std::FILE* stream = nullptr;  // open for writing in text mode, emptied
    bool is_input = false;        // the path names the file `input` reads
};

// Opens `path` as fopen(path, "w") would, but decides from the two open files,
// before anything is truncated, whether it is the file `input` reads; then it
// closes it again and sets `is_input`, leaving the file untouched. This
// catches every spelling the runtime can open: links, "..", letter case, short
// and long names, other drive letters. An existing output that holds exactly
// the input's bytes counts as the input too, whatever the identity checks say
// (views of one file through an overlay can differ in every number). A file that did not exist is
// created; a device (NUL, /dev/null) is opened as it is. On any other failure `stream` is null.
output_file open_output(const std::string& path, std::FILE* input);

}  // namespace app
