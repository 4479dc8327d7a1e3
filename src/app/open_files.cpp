#include "app/open_files.h"

#include <cstring>
#include <vector>

#include "app/platform_files.h"

namespace app {
namespace {

// True when the output already holds exactly the input's bytes: sizes first,
// then a chunk at a time, stopping at the first difference. Two views of one
// file always agree in content; refusing a copy of the datalog that merely
// looks alike loses nothing. False where either cannot be read.
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

output_opening refused(int descriptor, output_opening why) {
    close_descriptor(descriptor);
    return why;
}

output_opening checked_and_emptied(const std::string& path, int input, int descriptor) {
    switch (same_open_file(input, descriptor)) {
        case file_identity::same:
            return refused(descriptor, output_opening::is_input);
        case file_identity::unknown:
            return refused(descriptor, output_opening::not_checked);
        case file_identity::different:
            break;
    }
    if (holds_the_inputs_bytes(input, path, descriptor))
        return refused(descriptor, output_opening::holds_input);
    // Only a file with content is emptied: devices cannot be, and emptying a
    // new file makes some file systems write it out on close.
    if (has_content(descriptor) && empty_file(descriptor) != 0)
        return refused(descriptor, output_opening::cannot_open);
    return output_opening::opened;
}

}  // namespace

opened_input open_input(const std::string& path) {
    opened_input opened;
    opened.stream = open_for_reading(path);
    if (opened.stream == nullptr) return opened;
    // The converter reads a batch of records at a time itself; unbuffered,
    // the stream passes each read to the system in one piece.
    std::setvbuf(opened.stream, nullptr, _IONBF, 0);
    opened.result = input_opening::opened;
    return opened;
}

opened_output open_output(const std::string& path, std::FILE* input) {
    opened_output opened;
    // Opened without truncating, so that nothing changes until the two open
    // files are known to differ.
    const int descriptor = open_for_writing(path);
    if (descriptor < 0) return opened;
    opened.result = checked_and_emptied(path, fileno(input), descriptor);
    if (opened.result != output_opening::opened) return opened;
    opened.stream = stream_for(descriptor);
    if (opened.stream == nullptr) {
        close_descriptor(descriptor);
        opened.result = output_opening::cannot_open;
        return opened;
    }
    std::setvbuf(opened.stream, nullptr, _IONBF, 0);  // whole pages, written as they are
    return opened;
}

}  // namespace app
