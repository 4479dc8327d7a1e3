#include "datalog/chunked_io.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "conversion_helpers.h"

namespace {

std::string pattern(std::size_t size) {
    std::string text(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        text[i] = static_cast<char>('A' + (i * 7 + i / 251) % 26);
    return text;
}

TEST(ChunkedIo, PiecesAcrossChunksGiveTheStreamBackWhole) {
    struct read_case {
        std::size_t stream_size;
        std::vector<std::size_t> piece_sizes;
    };
    const read_case cases[] = {
        {0, {128}},
        {100, {128}},
        {3 * datalog::chunk_size, {128}},     // records end on the chunk boundary
        {3 * datalog::chunk_size + 5, {96}},  // records straddle it
        {2 * datalog::chunk_size + 17, {1, 511, 512, 7, 300}},
        {datalog::chunk_size - 1, {datalog::max_piece}},
    };
    for (const read_case& c : cases) {
        const std::string content = pattern(c.stream_size);
        std::FILE* file = std::tmpfile();
        ASSERT_NE(file, nullptr);
        std::fwrite(content.data(), 1, content.size(), file);
        std::rewind(file);
        EXPECT_EQ(read_in_pieces(file, c.piece_sizes), content) << c.stream_size;
        std::fclose(file);
    }
}

TEST(ChunkedIo, APipeThatDeliversLittleAtATimeIsReadWhole) {
    const std::string content = pattern(2 * datalog::chunk_size + 333);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::thread writer([&] {
        for (std::size_t at = 0; at < content.size(); at += 1000)
            if (write(fds[1], content.data() + at,
                      std::min<std::size_t>(1000, content.size() - at)) < 0)
                break;
        close(fds[1]);
    });
    std::FILE* stream = fdopen(fds[0], "r");
    ASSERT_NE(stream, nullptr);
    std::setvbuf(stream, nullptr, _IONBF, 0);
    EXPECT_EQ(read_in_pieces(stream, {128}), content);
    writer.join();
    std::fclose(stream);
}

}  // namespace
