#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "app/platform_files.h"
#include "app/windows_bridge.h"

namespace app {
namespace {

bool is_disk_file(HANDLE handle) {
    return handle != INVALID_HANDLE_VALUE && GetFileType(handle) == FILE_TYPE_DISK;
}

// Locks one byte far beyond any datalog's end through `holder`, then tries the
// same byte through `other`: both Windows and Wine keep byte-range locks per
// file, whatever handle or name reached it, so the second lock is refused
// exactly when both handles reach one file. Any other failure answers "one
// file" as well.
bool lock_is_shared(HANDLE holder, HANDLE other) {
    OVERLAPPED place{};
    place.Offset = 0;
    place.OffsetHigh = 0x7fff0000;
    const DWORD exclusive = LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY;
    if (LockFileEx(holder, exclusive, 0, 1, 0, &place) == 0) return true;
    OVERLAPPED again = place;
    const bool refused = LockFileEx(other, exclusive, 0, 1, 0, &again) == 0;
    if (!refused) UnlockFileEx(other, 0, 1, 0, &again);
    UnlockFileEx(holder, 0, 1, 0, &place);
    return refused;
}

}  // namespace

bool path_exists(const char* path) {
    std::wstring name;
    struct _stat64i32 status;
    return windows_name(path, &name) && _wstat64i32(name.c_str(), &status) == 0;
}

// Windows collapses "." and ".." and drops trailing dots and spaces before it
// looks a name up: "-osub\..\B.KYX" names B.KYX whether or not "-osub"
// exists. Here each component is looked up under its own name: a folder
// before "." or "..", and an entry whose long or short name it is (letter
// case aside) before anything else.
bool entry_named_exactly(const char* path) {
    std::wstring name;
    if (!windows_name(path, &name) || name.find_first_of(L"*?") != std::wstring::npos) return false;
    std::wstring looked_up;
    for (std::size_t start = 0; start <= name.size();) {
        const std::size_t end = std::min(name.find_first_of(L"\\/", start), name.size());
        const std::wstring component = name.substr(start, end - start);
        const bool last = end == name.size();
        start = end + 1;
        if (component.empty()) continue;
        if (component == L"." || component == L"..") {
            const DWORD attributes = looked_up.empty() ? FILE_ATTRIBUTE_DIRECTORY
                                                       : GetFileAttributesW(looked_up.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
                return false;
        } else {
            WIN32_FIND_DATAW found;
            const HANDLE search = FindFirstFileW((looked_up + component).c_str(), &found);
            if (search == INVALID_HANDLE_VALUE) return false;
            FindClose(search);
            const auto named = [&](const wchar_t* entry) {
                return CompareStringOrdinal(entry, -1, component.c_str(), -1, TRUE) == CSTR_EQUAL;
            };
            if (!named(found.cFileName) && !named(found.cAlternateFileName)) return false;
            if (!last && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
        }
        looked_up += component + L"\\";
    }
    return true;
}

std::FILE* open_for_reading(const std::string& path) {
    std::wstring name;
    return windows_name(path, &name) ? _wfopen(name.c_str(), L"rb") : nullptr;
}

// Windows names a file exactly by its volume's serial number and its index on
// that volume. Wine does not:
// - it takes the serial from the drive whose folder holds the name that was
//   opened, so one file seen through two drive letters (a hard link, or a drive
//   whose folder lies inside another drive's) has two serials;
// - it gives serial 0 to every file system that holds no drive's folder, so
//   two files on two such file systems can share serial and index;
// - the index is the inode number.
// So: different indexes are different files, on both (a file has one index).
// Equal indexes with equal, non-zero serials are one file. Equal indexes
// otherwise are decided by a byte-range lock (lock_is_shared), which is exact
// on both but for one case; a false refusal would need another program to
// hold a lock on that very byte. The case: under Wine an overlay file system
// shows a lower file system's file with its inode number, and the two hold
// separate locks, yet writing to the lower file empties what the overlay
// reads. So equal indexes that the lock calls two files are still one file
// when they agree in size and last-write time (to 100 ns). Handles that are
// no disk files (NUL, the console) reach no datalog.
file_identity same_open_file(int first, int second) {
    const HANDLE a = handle_of(first), b = handle_of(second);
    if (!is_disk_file(a) || !is_disk_file(b)) return file_identity::different;
    BY_HANDLE_FILE_INFORMATION x, y;
    if (GetFileInformationByHandle(a, &x) == 0 || GetFileInformationByHandle(b, &y) == 0)
        return file_identity::unknown;
    if (x.nFileIndexHigh != y.nFileIndexHigh || x.nFileIndexLow != y.nFileIndexLow)
        return file_identity::different;
    if (x.dwVolumeSerialNumber == y.dwVolumeSerialNumber && x.dwVolumeSerialNumber != 0)
        return file_identity::same;
    if (lock_is_shared(b, a)) return file_identity::same;
    const bool alike = x.nFileSizeHigh == y.nFileSizeHigh && x.nFileSizeLow == y.nFileSizeLow &&
                       CompareFileTime(&x.ftLastWriteTime, &y.ftLastWriteTime) == 0;
    return alike ? file_identity::same : file_identity::different;
}

bool has_content(int descriptor) {
    const HANDLE handle = handle_of(descriptor);
    LARGE_INTEGER size;
    return is_disk_file(handle) && GetFileSizeEx(handle, &size) != 0 && size.QuadPart > 0;
}

int open_for_writing(const std::string& path) {
    std::wstring name;
    if (!windows_name(path, &name)) return -1;
    return _wopen(name.c_str(), _O_WRONLY | _O_CREAT | _O_BINARY, _S_IREAD | _S_IWRITE);
}

int open_same_for_reading(const std::string& path, int descriptor) {
    std::wstring name;
    if (!windows_name(path, &name)) return -1;
    const int reader = _wopen(name.c_str(), _O_RDONLY | _O_BINARY);
    BY_HANDLE_FILE_INFORMATION x, y;
    if (reader >= 0 && GetFileInformationByHandle(handle_of(reader), &x) != 0 &&
        GetFileInformationByHandle(handle_of(descriptor), &y) != 0 &&
        x.dwVolumeSerialNumber == y.dwVolumeSerialNumber && x.nFileIndexHigh == y.nFileIndexHigh &&
        x.nFileIndexLow == y.nFileIndexLow)
        return reader;
    if (reader >= 0) _close(reader);
    return -1;
}

long long regular_file_size(int descriptor) {
    const HANDLE handle = handle_of(descriptor);
    LARGE_INTEGER size;
    if (!is_disk_file(handle) || GetFileSizeEx(handle, &size) == 0) return -1;
    return size.QuadPart;
}

long read_at(int descriptor, long long offset, char* into, std::size_t size) {
    if (_lseeki64(descriptor, offset, SEEK_SET) != offset) return -1;
    return _read(descriptor, into, static_cast<unsigned>(size));
}

int empty_file(int descriptor) {
    return _chsize(descriptor, 0);
}

std::FILE* stream_for(int descriptor) {
    return _fdopen(descriptor, "wb");
}

void close_descriptor(int descriptor) {
    _close(descriptor);
}

}  // namespace app
