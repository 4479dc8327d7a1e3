// How the program's messages reach the console, one implementation per
// platform (console_text-posix.cpp, console_text-win32.cpp; the build picks
// one). Messages are narrow text, and may carry a path the user gave.
#pragma once

#include <cstdio>
#include <string_view>

namespace app {

// Writes `text` to the stream with this system's line ends. A path in it
// keeps its characters: on Linux as the bytes they are; on Windows shown as
// they are on a console, and redirected in the ANSI code page where that holds
// them all exactly, else in UTF-8.
void write_message(std::FILE* stream, std::string_view text);

}  // namespace app
