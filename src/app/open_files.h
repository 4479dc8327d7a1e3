// How a name the user gave becomes an open file: the datalog to read, and the
// text file to write, which must never be the datalog.
#pragma once

#include <cstdio>
#include <string>

#include "app/open_file.h"

namespace app {

enum class input_opening {
    opened,
    cannot_open,  // missing, unreadable, or a folder
};

struct opened_input {
    input_opening result = input_opening::cannot_open;
    open_file file;  // its stream reads the bytes it holds, unbuffered
};

// Opens `path` for reading; a folder is refused.
opened_input open_input(const std::string& path);

enum class output_opening {
    opened,
    is_input,     // the path reaches the file being read
    holds_input,  // the file holds exactly the input's bytes: a copy, or another view of it
    not_checked,  // the system could not say whether it is the file being read
    cannot_open,  // it cannot be created or written
};

struct opened_output {
    output_opening result = output_opening::cannot_open;
    open_file file;  // emptied; its stream writes bytes, unbuffered
};

// Opens `path` as fopen(path, "w") would, but decides from the two open files,
// before anything is truncated, whether it is the file `input` reads; if so,
// or if that cannot be decided, it is closed again and left untouched.
// The identity of the two files (platform_files-*.cpp, same_open_file) catches
// every spelling the runtime can open: links, "..", letter case, short and
// long names, other drive letters. An existing output that holds exactly the
// input's bytes is refused too, whatever the identity says: views of one file
// through an overlay can differ in every number, and a copy loses nothing. A file that did not
// exist is created; a device (NUL, /dev/null) is opened as it is.
opened_output open_output(const std::string& path, const open_file& input);

}  // namespace app
