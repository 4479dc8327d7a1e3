#include "app/file_identity.h"

#include <cstring>
#include <vector>

#include "app/platform_files.h"

namespace app {
namespace {

// True when the output already holds exactly the input's bytes: sizes first,
// then a chunk at a time, stopping at the first difference. Two views of one
// file always agree in content, whatever the system says of their identity
// (an overlay can show one file under two inode numbers); refusing a copy of
// the datalog that merely looks alike loses nothing. False where either
// cannot be read.
bool holds_the_inputs_bytes(int input, const std::string& path, int output) {
    const long long size = regular_file_size(input);
    if (size <= 0 || regular_file_size(output) != size) return false;
    const int reader = open_same_for_reading(path, output);
    if (reader < 0) return false;
    constexpr std::size_t chunk = 64 * 1024;
    std::vector<char> ours(chunk), theirs(chunk);
    long long at = 0;
    while (at < size) {
        const long got = read_at(input, at, ours.data(), chunk);
        if (got <= 0 || read_at(reader, at, theirs.data(), chunk) != got ||
            std::memcmp(ours.data(), theirs.data(), static_cast<std::size_t>(got)) != 0)
            break;
        at += got;
    }
    close_descriptor(reader);
    return at == size;
}

}  // namespace

output_file open_output(const std::string& path, std::FILE* input) {
    output_file result;
    // Opened without truncating, so that nothing changes until the two open
    // files are known to differ.
    const int descriptor = open_for_writing(path);
    if (descriptor < 0) return result;
    if (same_open_file(fileno(input), descriptor) ||
        holds_the_inputs_bytes(fileno(input), path, descriptor)) {
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
