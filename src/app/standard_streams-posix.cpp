#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "app/standard_streams.h"

namespace app {

datalog::text_mode system_text_mode() {
    return datalog::text_mode::bytes;
}

bool open_standard_streams() {
    // The console text is a report and the text file the work: a write to a
    // pipe whose reader has gone (| head) fails, and the conversion goes on,
    // where the signal would end the program with the file half written.
    std::signal(SIGPIPE, SIG_IGN);
    // A file size limit (ulimit -f) is a failed write like a full disk: the
    // write fails with EFBIG, and the run stops and says so, where the signal
    // would end it without a word and with a line cut.
    std::signal(SIGXFSZ, SIG_IGN);
    // open() takes the lowest free descriptor, so going up from 0 fills each
    // closed one in turn.
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
        const int null_device = open("/dev/null", O_RDWR);
        if (null_device != descriptor) {
            if (null_device >= 0) close(null_device);
            return false;
        }
    }
    return true;
}

}  // namespace app
