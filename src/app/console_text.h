// How the program's messages reach the console, one implementation per
// platform (console_text-posix.cpp, console_text-win32.cpp; the build picks
// one). Messages are narrow text, and may carry a path the user gave.
#pragma once

#include <cstdio>
#include <string_view>

#include "datalog/text_mode.h"

namespace app {

// The two console streams and how their lines end: decided once, where the
// program starts, and handed to every writer of console text.
struct console {
    std::FILE* output;  // standard output
    std::FILE* error;   // the error stream
    datalog::text_mode mode;
};

// Writes `text` to the stream with the line ends of `mode`. A path in it
// keeps its characters: on Linux as the bytes they are; on Windows shown as
// they are on a console, and redirected in the ANSI code page where that holds
// them all exactly, else in UTF-8.
void write_message(std::FILE* stream, datalog::text_mode mode, std::string_view text);

}  // namespace app
