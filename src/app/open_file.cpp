#include "app/open_file.h"

#include <utility>

#include "app/platform_files.h"

namespace app {

open_file::open_file(std::FILE* stream)
    : descriptor_(stream != nullptr ? fileno(stream) : -1), stream_(stream) {}

open_file::open_file(open_file&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)),
      stream_(std::exchange(other.stream_, nullptr)) {}

open_file& open_file::operator=(open_file&& other) noexcept {
    if (this != &other) {
        close();
        descriptor_ = std::exchange(other.descriptor_, -1);
        stream_ = std::exchange(other.stream_, nullptr);
    }
    return *this;
}

bool open_file::make_write_stream() {
    stream_ = stream_for(descriptor_);
    if (stream_ == nullptr) return false;
    std::setvbuf(stream_, nullptr, _IONBF, 0);  // whole pages, written as they are
    return true;
}

bool open_file::close() {
    if (!is_open()) return true;
    bool written = true;
    if (stream_ != nullptr) {
        // Flushing first lets every runtime report a failed last write, not
        // only those whose fclose does.
        written = std::fflush(stream_) == 0 && std::ferror(stream_) == 0;
        written = std::fclose(stream_) == 0 && written;
    } else {
        close_descriptor(descriptor_);
    }
    descriptor_ = -1;
    stream_ = nullptr;
    return written;
}

}  // namespace app
