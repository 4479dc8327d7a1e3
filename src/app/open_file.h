// A file the program has open, and closes when it goes: by its descriptor
// until a stream is made for it, then by the stream.
#pragma once

#include <cstdio>

namespace app {

class open_file {
  public:
    open_file() = default;
    explicit open_file(int descriptor) : descriptor_(descriptor) {}  // -1: none
    explicit open_file(std::FILE* stream);                           // null: none
    ~open_file() { close(); }
    open_file(open_file&& other) noexcept;
    open_file& operator=(open_file&& other) noexcept;
    open_file(const open_file&) = delete;
    open_file& operator=(const open_file&) = delete;

    bool is_open() const { return descriptor_ >= 0; }
    int descriptor() const { return descriptor_; }
    std::FILE* stream() const { return stream_; }

    // Makes the stream that writes the file, passing bytes as they are and
    // unbuffered; false where it cannot (the file stays open).
    bool make_write_stream();

    // Closes it; true when all that was written through its stream reached
    // the file: no write failed, and flushing and closing it succeeded.
    bool close();

  private:
    int descriptor_ = -1;
    std::FILE* stream_ = nullptr;
};

}  // namespace app
