#include <cstdio>
#include <vector>

#include "baseline_convert.h"

namespace {

// Writes `chunk` until `written` reaches `output_size`.
void write_rest(std::FILE* output, const std::vector<char>& chunk, long long written,
                long long output_size) {
    while (written < output_size) {
        const long long left = output_size - written;
        const std::size_t size = left < 65536 ? static_cast<std::size_t>(left) : chunk.size();
        std::fwrite(chunk.data(), 1, size, output);
        written += static_cast<long long>(size);
    }
}

}  // namespace

int copy_floor(const char* input_path, const char* output_path, long long output_size) {
    std::FILE* input = std::fopen(input_path, "rb");
    std::FILE* output = std::fopen(output_path, "wb");
    if (input == nullptr || output == nullptr) return 1;
    // Whole 64 KiB chunks straight to the system, in binary (on Windows text
    // mode would copy them byte by byte).
    std::setvbuf(input, nullptr, _IONBF, 0);
    std::setvbuf(output, nullptr, _IONBF, 0);
    std::vector<char> chunk(64 * 1024, '0');
    long long written = 0;
    for (std::size_t got; (got = std::fread(chunk.data(), 1, chunk.size(), input)) > 0;) {
        std::fwrite(chunk.data(), 1, got, output);
        written += static_cast<long long>(got);
    }
    write_rest(output, chunk, written, output_size);
    std::fclose(input);
    return std::fclose(output) == 0 ? 0 : 1;
}

int write_floor(const char* output_path, long long output_size) {
    std::FILE* output = std::fopen(output_path, "wb");
    if (output == nullptr) return 1;
    std::setvbuf(output, nullptr, _IONBF, 0);
    write_rest(output, std::vector<char>(64 * 1024, '0'), 0, output_size);
    return std::fclose(output) == 0 ? 0 : 1;
}
