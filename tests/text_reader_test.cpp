#include "datalog/text_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "conversion_helpers.h"
#include "text_mode_view.h"

namespace {

using datalog::text_mode;

std::string pattern(std::size_t size) {
    std::string text(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        text[i] = static_cast<char>('A' + (i * 7 + i / 251) % 26);
    return text;
}

// `content` read from a file through the reader in pieces of `sizes`: the
// text, checked to come in whole pieces until the end.
std::string read_file_in_pieces(const std::string& content, const std::vector<std::size_t>& sizes,
                                text_mode mode) {
    std::FILE* file = std::tmpfile();
    std::fwrite(content.data(), 1, content.size(), file);
    std::rewind(file);
    bool short_before_end = false;
    const std::string text = read_in_pieces(file, sizes, mode, &short_before_end);
    std::fclose(file);
    EXPECT_FALSE(short_before_end) << "a read came back short before the end";
    return text;
}

TEST(TextReader, ReadsOfAnySizeGiveTheStreamBackWhole) {
    struct read_case {
        std::size_t stream_size;
        std::vector<std::size_t> piece_sizes;
    };
    const read_case cases[] = {
        {0, {128}},         {100, {128}},      {128, {128}},
        {300000, {128}},    {300000, {96}},    {200017, {1, 511, 512, 7, 300}},
        {300000, {262144}}, {262144, {65536}},
    };
    for (const text_mode mode : {text_mode::bytes, text_mode::windows})
        for (const read_case& c : cases)
            EXPECT_EQ(read_file_in_pieces(pattern(c.stream_size), c.piece_sizes, mode),
                      pattern(c.stream_size))
                << c.stream_size;
}

TEST(TextReader, APipeThatDeliversLittleAtATimeFillsEveryRead) {
    for (const text_mode mode : {text_mode::bytes, text_mode::windows}) {
        std::string content = pattern(200333);
        for (std::size_t at = 999; at < content.size(); at += 1000) content[at] = '\r';
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
        bool short_before_end = false;
        EXPECT_EQ(read_in_pieces(stream, {4096, 128}, mode, &short_before_end), content);
        EXPECT_FALSE(short_before_end);
        writer.join();
        std::fclose(stream);
    }
}

// In Windows' text mode, the bytes that fold (CR LF, CR CR LF, CR 0x1A, a CR
// as the last byte) at every place around the end of a read, for reads of
// every small size: the pieces are whole and give the text-mode view.
TEST(TextReader, TextModeBytesAtEveryPlaceAReadEnds) {
    const std::string folding[] = {"\r\n", "\r\r\n", "\r\x1A", "\r", "\r\r"};
    for (std::size_t piece = 1; piece <= 6; ++piece) {
        const std::string filler = pattern(4 * piece);
        for (std::size_t at = 0; at <= filler.size(); ++at) {
            for (const std::string& bytes : folding) {
                for (const bool last : {false, true}) {
                    const std::string content =
                        filler.substr(0, at) + bytes + (last ? "" : filler.substr(at));
                    EXPECT_EQ(read_file_in_pieces(content, {piece}, text_mode::windows),
                              text_mode_view(content))
                        << testing::PrintToString(content) << " in pieces of " << piece;
                }
            }
        }
    }
}

}  // namespace
