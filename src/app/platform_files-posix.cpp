#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/platform_files.h"

namespace app {

bool path_exists(const char* path) {
    struct stat status;
    return stat(path, &status) == 0;
}

bool entry_named_exactly(const char* path) {
    return path_exists(path);  // Linux resolves names exactly
}

// Linux's fopen opens a folder too; reading it fails, so it is refused here.
std::FILE* open_for_reading(const std::string& path) {
    std::FILE* stream = std::fopen(path.c_str(), "r");
    struct stat status;
    if (stream != nullptr && fstat(fileno(stream), &status) == 0 && S_ISDIR(status.st_mode)) {
        std::fclose(stream);
        return nullptr;
    }
    return stream;
}

// A device and inode number name one file exactly, and different inode
// numbers are different files. Equal inode numbers on two devices are two
// files, but for one case: an overlay file system shows a file of the file
// system below it under a device of its own and the lower file's inode
// number, and writing to the lower file empties what the overlay reads. So
// those are taken as one file also when the two agree in size and in
// modification time to the nanosecond. A false refusal then needs two
// different files on two file systems with equal inode number, size and time,
// and it loses nothing.
file_identity same_open_file(int first, int second) {
    struct stat a, b;
    if (fstat(first, &a) != 0 || fstat(second, &b) != 0) return file_identity::unknown;
    if (a.st_ino != b.st_ino) return file_identity::different;
    if (a.st_dev == b.st_dev) return file_identity::same;
    const bool alike = a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
                       a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
    return alike ? file_identity::same : file_identity::different;
}

bool has_content(int descriptor) {
    struct stat status;
    return fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0;
}

int open_for_writing(const std::string& path) {
    return open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
}

int open_same_for_reading(const std::string& path, int descriptor) {
    const int reader = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat a, b;
    if (reader >= 0 && fstat(reader, &a) == 0 && fstat(descriptor, &b) == 0 &&
        a.st_dev == b.st_dev && a.st_ino == b.st_ino)
        return reader;
    if (reader >= 0) close(reader);
    return -1;
}

long long regular_file_size(int descriptor) {
    struct stat status;
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) return -1;
    return status.st_size;
}

long read_at(int descriptor, long long offset, char* into, std::size_t size) {
    return static_cast<long>(pread(descriptor, into, size, static_cast<off_t>(offset)));
}

int empty_file(int descriptor) {
    return ftruncate(descriptor, 0);
}

std::FILE* stream_for(int descriptor) {
    return fdopen(descriptor, "w");
}

void close_descriptor(int descriptor) {
    close(descriptor);
}

}  // namespace app
