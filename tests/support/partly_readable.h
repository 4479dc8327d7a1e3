// A file whose reads fail partway, as on a damaged disk: a child process maps
// the first `readable` bytes of a file at address 0, so that its
// /proc/PID/mem reads as the file up to there and fails with an I/O error
// after. Mapping at address 0 needs root (CAP_SYS_RAWIO).
#pragma once

#include <string>

#include <sys/types.h>

class partly_readable {
  public:
    partly_readable(const std::string& file, std::size_t readable);
    ~partly_readable();
    partly_readable(const partly_readable&) = delete;
    partly_readable& operator=(const partly_readable&) = delete;

    bool ready() const { return !path_.empty(); }
    const std::string& path() const { return path_; }  // "/proc/PID/mem"

  private:
    pid_t child_ = -1;
    std::string path_;
};
