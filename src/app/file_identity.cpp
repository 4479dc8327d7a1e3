#include "app/file_identity.h"

#include "app/platform_files.h"

namespace app {

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
