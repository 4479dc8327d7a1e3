#include "datalog/batch_writer.h"

#include <algorithm>
#include <cstring>

namespace datalog {

namespace {

// Writes `size` characters; false when the write fails.
bool write_out(std::FILE* output, const char* text, std::size_t size) {
    return std::fwrite(text, 1, size, output) == size;
}

}  // namespace

void write_batch(batch_writer& writer, const record_batch& batch) {
    if (writer.failed || batch.count == 0) return;
    const std::size_t size = batch.line_ends[batch.count - 1];
    std::size_t tried = 0;  // the end of the batch's text written or tried
    std::size_t at = 0;
    // The page begun before: filled from the batch's first characters.
    if (writer.held != 0) {
        const std::size_t taken = std::min(write_page - writer.held, size);
        std::memcpy(writer.page + writer.held, batch.lines, taken);
        writer.held += taken;
        at = taken;
        if (writer.held == write_page) {
            tried = taken;
            writer.failed = !write_out(writer.output, writer.page, write_page);
            writer.held = 0;
        }
    }
    // Whole pages straight from the batch, then what is left into the page.
    const std::size_t pages = (size - at) / write_page * write_page;
    if (!writer.failed && pages != 0) {
        tried = at + pages;
        writer.failed = !write_out(writer.output, batch.lines + at, pages);
        at += pages;
    }
    std::uint32_t records = batch.count;
    if (writer.failed) {
        // The records whose lines end within what was tried.
        const std::uint32_t* end = std::upper_bound(batch.line_ends, batch.line_ends + batch.count,
                                                    static_cast<std::uint32_t>(tried));
        records = static_cast<std::uint32_t>(end - batch.line_ends);
    } else {
        std::memcpy(writer.page + writer.held, batch.lines + at, size - at);
        writer.held += size - at;
    }
    writer.written += records;
    if (records != 0)
        std::fwrite(batch.progress, 1, batch.progress_ends[records - 1], writer.progress);
}

void finish(batch_writer& writer) {
    if (!writer.failed && writer.held != 0)
        writer.failed = !write_out(writer.output, writer.page, writer.held);
    writer.held = 0;
}

}  // namespace datalog
