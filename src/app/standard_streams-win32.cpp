#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "app/standard_streams.h"

namespace app {

datalog::text_mode system_text_mode() {
    return datalog::text_mode::windows;
}

bool open_standard_streams() {
    // The C runtime keeps descriptors 0, 1 and 2 for the standard streams even
    // when the program starts without standard handles (from a window or a
    // service): files opened later take 3 and up, and console text goes
    // nowhere. The program writes CR LF itself.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    return true;
}

}  // namespace app
