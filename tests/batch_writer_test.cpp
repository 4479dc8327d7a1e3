#include "datalog/batch_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "conversion_helpers.h"

namespace {

// A stream that keeps what is written to it and the size of each write.
struct recording {
    std::string text;
    std::vector<std::size_t> writes;
};

ssize_t record_write(void* cookie, const char* data, size_t size) {
    auto* r = static_cast<recording*>(cookie);
    r->writes.push_back(size);
    r->text.append(data, size);
    return static_cast<ssize_t>(size);
}

std::FILE* recording_stream(recording& r) {
    std::FILE* stream = fopencookie(&r, "w", {nullptr, record_write, nullptr, nullptr});
    std::setvbuf(stream, nullptr, _IONBF, 0);
    return stream;
}

// A batch of `records` lines of `line` characters each, the characters
// counting on from `first`, and one progress character for each record.
std::unique_ptr<datalog::record_batch> batch_of(std::uint32_t records, std::size_t line,
                                                std::size_t first) {
    auto batch = std::make_unique<datalog::record_batch>();
    batch->count = records;
    for (std::size_t i = 0; i < records * line; ++i)
        batch->lines[i] = static_cast<char>('A' + (first + i) % 23);
    std::fill_n(batch->progress, records, 'p');
    for (std::uint32_t i = 0; i < records; ++i) {
        batch->line_ends[i] = static_cast<std::uint32_t>((i + 1) * line);
        batch->progress_ends[i] = i + 1;
    }
    return batch;
}

std::string counted_text(std::size_t size) {
    std::string text(size, '\0');
    for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>('A' + i % 23);
    return text;
}

// Batches reach the output whole and in order, in writes that each end on a
// page in the file (but for the last), and as few as that allows; the
// progress shows exactly the records whose lines the output holds.
TEST(BatchWriter, WritesWholePagesInOrder) {
    const std::size_t page = datalog::write_page;
    struct write_case {
        const char* name;
        std::vector<std::uint32_t> batches;  // records in each
        std::size_t line;
        std::vector<std::size_t> writes;
    };
    const write_case cases[] = {
        {"one short line", {1}, 219, {219}},
        {"one page exactly", {256}, 16, {page}},
        {"a page and a line", {257}, 16, {page, 16}},
        {"many pages", {1000}, 219, {53 * page, 1912}},  // 219000
        {"pages across batches", {10, 30, 300}, 219, {page, page, page, 15 * page, 732}},
        {"small batches fill a page", {5, 5, 5, 5}, 219, {page, 284}},
        {"a seam page and the rest", {20, 300}, 219, {page, page, 15 * page, 448}},
    };
    for (const write_case& c : cases) {
        recording out, progress;
        datalog::batch_writer writer;
        writer.output = recording_stream(out);
        writer.progress = recording_stream(progress);
        std::size_t first = 0;
        std::uint32_t records = 0;
        for (const std::uint32_t count : c.batches) {
            const auto batch = batch_of(count, c.line, first);
            datalog::write_batch(writer, *batch);
            first += count * c.line;
            records += count;
            EXPECT_EQ(progress.text.size(), out.text.size() / c.line) << c.name;
        }
        datalog::finish(writer);
        std::fclose(writer.output);
        std::fclose(writer.progress);
        EXPECT_EQ(out.writes, c.writes) << c.name;
        EXPECT_TRUE(out.text == counted_text(first)) << c.name;
        EXPECT_FALSE(writer.failed) << c.name;
        EXPECT_EQ(writer.written, records) << c.name;
    }
}

// The first failed write stops the conversion: the records counted, and
// shown in the progress, are exactly those whose whole lines the output took,
// wherever the output stops taking them: around the end of every write the
// writer makes (a line cut, a line that ends where the room does, a seam
// page, the last write), and on /dev/full, which takes nothing.
TEST(BatchWriter, AFailedWriteCountsTheWholeLinesTheOutputHolds) {
    struct failure_case {
        const char* name;
        std::vector<std::uint32_t> batches;
        std::size_t line;
    };
    const failure_case cases[] = {
        {"pages across batches", {10, 30, 300}, 219},
        {"small batches fill a page", {5, 5, 5, 5}, 219},
        {"lines that end where pages do", {300, 4096}, 16},
    };
    for (const failure_case& c : cases) {
        std::vector<std::unique_ptr<datalog::record_batch>> batches;
        std::size_t first = 0;
        for (const std::uint32_t count : c.batches) {
            batches.push_back(batch_of(count, c.line, first));
            first += count * c.line;
        }
        // Where the writes end when nothing fails.
        recording out, ignored;
        datalog::batch_writer whole;
        whole.output = recording_stream(out);
        whole.progress = recording_stream(ignored);
        for (const auto& batch : batches) datalog::write_batch(whole, *batch);
        datalog::finish(whole);
        std::fclose(whole.output);
        std::fclose(whole.progress);
        std::vector<std::size_t> rooms = {0};
        std::size_t end = 0;
        for (const std::size_t size : out.writes) {
            end += size;
            for (std::size_t room = end - std::min(end, c.line + 1); room < end; ++room)
                rooms.push_back(room);
        }
        for (const std::size_t room : rooms) {
            recording progress;
            datalog::batch_writer writer;
            writer.output = room == 0 ? std::fopen("/dev/full", "w") : std::tmpfile();
            ASSERT_NE(writer.output, nullptr);
            std::setvbuf(writer.output, nullptr, _IONBF, 0);
            writer.progress = recording_stream(progress);
            {
                const file_size_limit limit(room == 0 ? RLIM_INFINITY : room);
                for (const auto& batch : batches) datalog::write_batch(writer, *batch);
                datalog::finish(writer);
            }
            const std::string held = room == 0 ? "" : read_all(writer.output);
            std::fclose(writer.output);
            std::fclose(writer.progress);
            const std::string name = c.name + (", room " + std::to_string(room));
            const std::uint32_t lines = static_cast<std::uint32_t>(room / c.line);
            EXPECT_TRUE(writer.failed) << name;
            EXPECT_EQ(writer.written, lines) << name;
            EXPECT_EQ(writer.whole_size, lines * c.line) << name;
            EXPECT_EQ(progress.text, std::string(lines, 'p')) << name;
            EXPECT_TRUE(held == counted_text(room)) << name;
        }
    }
}

}  // namespace
