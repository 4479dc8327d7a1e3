#include "datalog/batch_writer.h"

#include <algorithm>
#include <cstring>

namespace datalog {

namespace {

// Where the progress line of the batch's record `record` starts.
std::uint32_t progress_start(const record_batch& batch, std::uint32_t record) {
    return record == 0 ? 0 : batch.progress_ends[record - 1];
}

// The characters of the batch's progress lines for records [first, end).
void show_progress(std::FILE* progress, const record_batch& batch, std::uint32_t first,
                   std::uint32_t end) {
    const std::uint32_t from = progress_start(batch, first);
    std::fwrite(batch.progress + from, 1, batch.progress_ends[end - 1] - from, progress);
}

// Takes the batch's characters [from, to) into the page, and the records from
// `record` on whose lines end there; returns the first record left.
std::uint32_t hold(batch_writer& writer, const record_batch& batch, std::size_t from,
                   std::size_t to, std::uint32_t record) {
    std::memcpy(writer.page + writer.held, batch.lines + from, to - from);
    for (; record < batch.count && batch.line_ends[record] <= to; ++record) {
        writer.held_ends.push_back(
            static_cast<std::uint32_t>(writer.held + batch.line_ends[record] - from));
        const std::uint32_t start = progress_start(batch, record);
        writer.held_progress.append(batch.progress + start, batch.progress_ends[record] - start);
        writer.held_progress_ends.push_back(writer.held_progress.size());
    }
    writer.held += to - from;
    return record;
}

// Writes the page, and counts and shows the records whose lines it took whole.
void write_page_out(batch_writer& writer) {
    const std::size_t took = std::fwrite(writer.page, 1, writer.held, writer.output);
    writer.failed = took != writer.held;
    const std::size_t whole =
        std::upper_bound(writer.held_ends.begin(), writer.held_ends.end(), took) -
        writer.held_ends.begin();
    if (whole != 0) {
        std::fwrite(writer.held_progress.data(), 1, writer.held_progress_ends[whole - 1],
                    writer.progress);
        writer.written += static_cast<std::uint32_t>(whole);
        writer.whole_size = writer.size + writer.held_ends[whole - 1];
    }
    writer.size += took;
    writer.held = 0;
    writer.held_ends.clear();
    writer.held_progress.clear();
    writer.held_progress_ends.clear();
}

}  // namespace

void write_batch(batch_writer& writer, const record_batch& batch) {
    if (writer.failed || batch.count == 0) return;
    const std::size_t size = batch.line_ends[batch.count - 1];
    std::size_t at = 0;        // the batch's characters handed on
    std::uint32_t record = 0;  // the first record not yet counted or held
    // The page begun before: filled from the batch's first characters.
    if (writer.held != 0) {
        at = std::min(write_page - writer.held, size);
        record = hold(writer, batch, 0, at, 0);
        if (writer.held < write_page) return;  // the whole batch waits in the page
        write_page_out(writer);
        if (writer.failed) return;
    }
    // Whole pages straight from the batch, then what is left into the page.
    const std::size_t pages = (size - at) / write_page * write_page;
    if (pages != 0) {
        const std::size_t took = std::fwrite(batch.lines + at, 1, pages, writer.output);
        writer.failed = took != pages;
        const std::uint32_t end = static_cast<std::uint32_t>(
            std::upper_bound(batch.line_ends + record, batch.line_ends + batch.count,
                             static_cast<std::uint32_t>(at + took)) -
            batch.line_ends);
        if (end != record) {
            show_progress(writer.progress, batch, record, end);
            writer.written += end - record;
            writer.whole_size = writer.size + batch.line_ends[end - 1] - at;
        }
        writer.size += took;
        record = end;
        at += pages;
        if (writer.failed) return;
    }
    hold(writer, batch, at, size, record);
}

void finish(batch_writer& writer) {
    if (!writer.failed && writer.held != 0) write_page_out(writer);
}

}  // namespace datalog
