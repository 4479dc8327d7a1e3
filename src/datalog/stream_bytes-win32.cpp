#include <io.h>
#include <windows.h>

#include "datalog/stream_bytes.h"

namespace datalog {

// Past the stream, with the runtime's low-level read: its fread delivers
// nothing of a request once a later read within it fails (seen under Wine),
// and the records before a failed read must be kept.
long read_bytes(std::FILE* stream, char* into, std::size_t size) {
    return _read(_fileno(stream), into, static_cast<unsigned>(size));
}

void cut_stream(std::FILE* stream, std::uint64_t size) {
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    if (handle == INVALID_HANDLE_VALUE || GetFileType(handle) != FILE_TYPE_DISK) return;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    if (SetFilePointerEx(handle, end, nullptr, FILE_BEGIN)) SetEndOfFile(handle);
}

}  // namespace datalog
