#include "app/file_identity.h"

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace app {

#ifdef _WIN32

namespace {

// The volume serial number and file index of an open file; false for handles
// that have none (devices).
bool file_id(int descriptor, BY_HANDLE_FILE_INFORMATION& info) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    return handle != INVALID_HANDLE_VALUE && GetFileInformationByHandle(handle, &info) != 0;
}

bool same_open_file(int first, int second) {
    BY_HANDLE_FILE_INFORMATION a, b;
    return file_id(first, a) && file_id(second, b) &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

bool has_content(int descriptor) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    LARGE_INTEGER size;
    return GetFileType(handle) == FILE_TYPE_DISK && GetFileSizeEx(handle, &size) != 0 &&
           size.QuadPart > 0;
}

int open_for_writing(const std::string& path) {
    return _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_TEXT, _S_IREAD | _S_IWRITE);
}

int empty_file(int descriptor) {
    return _chsize(descriptor, 0);
}

std::FILE* stream_for(int descriptor) {
    return _fdopen(descriptor, "w");
}

void close_descriptor(int descriptor) {
    _close(descriptor);
}

}  // namespace

bool is_directory(std::FILE*) {
    return false;  // fopen refuses directories here
}

#else

namespace {

bool same_open_file(int first, int second) {
    struct stat a, b;
    return fstat(first, &a) == 0 && fstat(second, &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

bool has_content(int descriptor) {
    struct stat status;
    return fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0;
}

int open_for_writing(const std::string& path) {
    return open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
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

}  // namespace

bool is_directory(std::FILE* stream) {
    struct stat status;
    return fstat(fileno(stream), &status) == 0 && S_ISDIR(status.st_mode);
}

#endif

output_file open_output(const std::string& path, std::FILE* input) {
    output_file result;
    // Opened without truncating, so that nothing changes until the two open
    // files are known to differ.
    const int descriptor = open_for_writing(path);
    if (descriptor < 0) return result;
    if (same_open_file(fileno(input), descriptor)) {
        close_descriptor(descriptor);
        result.is_input = true;
        return result;
    }
    // Only a file with content is emptied: devices cannot be, and emptying a
    // new file makes some file systems write it out on close.
    if (has_content(descriptor) && empty_file(descriptor) != 0) {
        close_descriptor(descriptor);
        return result;
    }
    result.stream = stream_for(descriptor);
    if (result.stream == nullptr) close_descriptor(descriptor);
    return result;
}

}  // namespace app
