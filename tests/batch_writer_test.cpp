#include "datalog/batch_writer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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

std::string text_of(std::size_t size) {
    std::string text(size, '\0');
    for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>('A' + i % 23);
    return text;
}

// Batches reach the output whole and in order, in writes that each end on a
// page in the file (but for the last), and as few as that allows; each
// batch's progress follows its lines.
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
            EXPECT_EQ(progress.text.size(), records) << c.name;
        }
        datalog::finish(writer);
        std::fclose(writer.output);
        std::fclose(writer.progress);
        EXPECT_EQ(out.writes, c.writes) << c.name;
        EXPECT_TRUE(out.text == text_of(first)) << c.name;
        EXPECT_FALSE(writer.failed) << c.name;
        EXPECT_EQ(writer.written, records) << c.name;
    }
}

// The first failed write stops the conversion: the records counted, and
// shown in the progress, are those whose lines end within what was tried.
// Files written by this process fail past `size` bytes (with EFBIG, not a
// signal) while it lives.
class file_size_limit {
  public:
    explicit file_size_limit(rlim_t size) : old_signal_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = size;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~file_size_limit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, old_signal_);
    }

  private:
    rlimit old_{};
    void (*old_signal_)(int);
};

TEST(BatchWriter, AFailedWriteStopsAtTheLinesTried) {
    struct failure_case {
        const char* name;
        std::vector<std::uint32_t> batches;
        std::size_t line;
        std::size_t room;  // what the output takes before its writes fail
        std::uint32_t written;
    };
    const failure_case cases[] = {
        {"the first of many pages", {1000}, 219, 0, 53 * datalog::write_page / 219},
        {"the seam page", {10, 300}, 219, 0, 18},  // 10 held, and 8 end in the page
        {"the pages after the seam page", {10, 300}, 219, datalog::write_page, 299},  // 10 + 289
        {"what is left at the end", {10}, 219, 0, 10},
        {"a line that ends where the write does", {4096}, 16, 0, 4096},
    };
    for (const failure_case& c : cases) {
        recording progress;
        datalog::batch_writer writer;
        writer.output = c.room == 0 ? std::fopen("/dev/full", "w") : std::tmpfile();
        ASSERT_NE(writer.output, nullptr);
        const file_size_limit limit(c.room == 0 ? RLIM_INFINITY : c.room);
        std::setvbuf(writer.output, nullptr, _IONBF, 0);
        writer.progress = recording_stream(progress);
        for (const std::uint32_t count : c.batches)
            datalog::write_batch(writer, *batch_of(count, c.line, 0));
        datalog::finish(writer);
        std::fclose(writer.output);
        std::fclose(writer.progress);
        EXPECT_TRUE(writer.failed) << c.name;
        EXPECT_EQ(writer.written, c.written) << c.name;
        EXPECT_EQ(progress.text, std::string(c.written, 'p')) << c.name;
    }
}

}  // namespace
