#include <cstdio>
#include <vector>

#include "baseline_convert.h"

int copy_floor(const char* input_path, const char* output_path, long long output_size) {
    std::FILE* input = std::fopen(input_path, "rb");
    std::FILE* output = std::fopen(output_path, "wb");
    if (input == nullptr || output == nullptr) return 1;
    // Whole 64 KiB chunks straight to the system, as the converter moves them,
    // in binary (on Windows text mode would copy them byte by byte).
    std::setvbuf(input, nullptr, _IONBF, 0);
    std::setvbuf(output, nullptr, _IONBF, 0);
    std::vector<char> chunk(64 * 1024, '0');
    long long written = 0;
    for (std::size_t got; (got = std::fread(chunk.data(), 1, chunk.size(), input)) > 0;) {
        std::fwrite(chunk.data(), 1, got, output);
        written += static_cast<long long>(got);
    }
    while (written < output_size) {
        const long long left = output_size - written;
        const std::size_t size = left < 65536 ? static_cast<std::size_t>(left) : chunk.size();
        std::fwrite(chunk.data(), 1, size, output);
        written += static_cast<long long>(size);
    }
    std::fclose(input);
    return std::fclose(output) == 0 ? 0 : 1;
}
