// How the program's process meets the system where it starts: the text mode
// of its lines and its standard streams. One implementation per platform
// (standard_streams-posix.cpp, standard_streams-win32.cpp; the build picks
// one).
#pragma once

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

}  // namespace app
