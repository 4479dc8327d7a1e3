#include "app/open_files.h"

#include <cstring>
#include <utility>
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
    const open_file reader(open_same_for_reading(path, output));
    if (!reader.is_open()) return false;
    constexpr std::size_t chunk = 64 * 1024;
    std::vector<char> ours(chunk), theirs(chunk);
    long long at = 0;
    while (at < size) {
        const long got = read_at(input, at, ours.data(), chunk);
        if (got <= 0 || read_at(reader.descriptor(), at, theirs.data(), chunk) != got ||
            std::memcmp(ours.data(), theirs.data(), static_cast<std::size_t>(got)) != 0)
            break;
        at += got;
    }
    return at == size;
}

output_opening checked_and_emptied(const std::string& path, int input, int output) {
    switch (same_open_file(input, output)) {
        case file_identity::same:
            return output_opening::is_input;
        case file_identity::unknown:
            return output_opening::not_checked;
        case file_identity::different:
            break;
    }
    if (holds_the_inputs_bytes(input, path, output)) return output_opening::holds_input;
    // Only a file with content is emptied: devices cannot be, and emptying a
    // new file makes some file systems write it out on close.
    if (has_content(output) && empty_file(output) != 0) return output_opening::cannot_open;
    return output_opening::opened;
}

}  // namespace

opened_input open_input(const std::string& path) {
    opened_input opened;
    opened.file = open_file(open_for_reading(path));
    if (!opened.file.is_open()) return opened;
    // The converter reads a batch of records at a time itself; unbuffered,
    // the stream passes each read to the system in one piece.
    std::setvbuf(opened.file.stream(), nullptr, _IONBF, 0);
    opened.result = input_opening::opened;
    return opened;
}

opened_output open_output(const std::string& path, const open_file& input) {
    opened_output opened;
    // Opened without truncating, so that nothing changes until the two open
    // files are known to differ; a refused file is closed as it goes.
    open_file output(open_for_writing(path));
    if (!output.is_open()) return opened;
    opened.result = checked_and_emptied(path, input.descriptor(), output.descriptor());
    if (opened.result != output_opening::opened) return opened;
    if (!output.make_write_stream()) {
        opened.result = output_opening::cannot_open;
        return opened;
    }
    opened.file = std::move(output);
    return opened;
}

}  // namespace app
