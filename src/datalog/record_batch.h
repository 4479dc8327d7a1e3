// A batch of consecutive records: read into the batch's own buffer, formatted
// as a whole and written in its turn (batch_writer.h), all by the worker that
// holds it (record_pipeline.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "datalog/datalog_format.h"
#include "datalog/record_line.h"
#include "datalog/text_mode.h"
#include "datalog/text_reader.h"

namespace datalog {

// A batch takes up to 256 KiB of records, at most 4096 of them, as many as
// their lines fit 512 KiB: with their progress lines, about 1 MB a batch.
constexpr std::size_t batch_input_size = 256 * 1024;
constexpr std::uint32_t max_batch_records = 4096;
constexpr std::size_t batch_lines_size = 512 * 1024;

// The records' shape, fixed by the header, and how many records a batch takes.
struct batch_layout {
    std::size_t record_size;  // characters per record: twice the record length
    unsigned values;          // values per record
    value_format format;      // how they are formatted (value_paths.h)
    text_mode mode;
    std::uint32_t records;  // a batch's most records: all of them fit its buffers
};

// The layout for these records, formatted by `path`, with at most
// `record_limit` records a batch (at least 1, at most max_batch_records;
// fewer where the buffers need).
batch_layout layout_for(const datalog_header& header, value_path path, text_mode mode,
                        std::uint32_t record_limit);

struct record_batch {
    // The buffers are left as they come: each is written before it is read.
    // Clearing them would touch every page of about 1 MB before the first
    // record, and a page's first touch costs microseconds on some systems.
    record_batch() {}
    // Filled by the reader (fill_batch): the records from the start of `input`.
    std::uint32_t count = 0;         // records
    std::uint32_t first_number = 0;  // the first record's number
    // Formatted (format_batch): each record's line and progress line end.
    std::uint32_t line_ends[max_batch_records];
    std::uint32_t progress_ends[max_batch_records];
    alignas(64) char input[batch_input_size];
    alignas(64) char lines[batch_lines_size + record_line_capacity];
    alignas(64) char progress[max_batch_records * progress_line_capacity];
};

// Why a batch's filling stopped.
enum class batch_end {
    full,        // the batch took `wanted` records, or all its buffer had room for
    end_marker,  // the next record is the end marker
    truncated,   // the input ended (or failed) inside or before the next record
};

// Reads the records that follow into the batch, up to `wanted` (at most the
// layout's records). The records after an end marker within them are read
// too, and not taken.
batch_end fill_batch(text_reader& reader, const batch_layout& layout, std::uint32_t wanted,
                     record_batch& batch);

// Writes every record's line and progress line into the batch.
void format_batch(const batch_layout& layout, record_batch& batch);

}  // namespace datalog
