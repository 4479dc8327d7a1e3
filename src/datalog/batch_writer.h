// Writes formatted batches to the output in order, as whole pages: every
// write but the last starts and ends on a multiple of the page size in the
// file, so that the system fills each page once. The lines are written from
// the batch where they lie; only the few characters on either side of a seam
// between batches are copied, into the writer's page.
//
// A record counts once the output holds its whole line, and only then does
// its progress line show: the records whose lines end in the page wait with
// it. So after a failed write the count and the progress say exactly which
// whole lines the output holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "datalog/record_batch.h"

namespace datalog {

constexpr std::size_t write_page = 4096;

struct batch_writer {
    std::FILE* output = nullptr;
    std::FILE* progress = nullptr;
    std::uint32_t written = 0;     // records whose lines the output holds whole
    std::uint64_t whole_size = 0;  // where the last of those lines ends in the output
    std::uint64_t size = 0;        // characters the output took
    bool failed = false;           // a write to the output failed
    std::size_t held = 0;          // characters in `page`, below write_page
    char page[write_page];
    // The records whose lines end in the page: where, and their progress lines.
    std::vector<std::uint32_t> held_ends;
    std::string held_progress;
    std::vector<std::size_t> held_progress_ends;
};

// Hands over the batch's lines, writing the page begun before once they
// complete it, and every further whole page in one write; then the progress
// lines of the records whose lines those writes completed. A failed write
// stops it: the output may hold part of a line after the last whole one
// (whole_size). After a failure it does nothing. A failed write to the
// progress stream is no reason to stop.
void write_batch(batch_writer& writer, const record_batch& batch);

// Writes what is left in the page.
void finish(batch_writer& writer);

}  // namespace datalog
