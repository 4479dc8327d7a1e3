// Writes formatted batches to the output in order, as whole pages: every
// write but the last starts and ends on a multiple of the page size in the
// file, so that the system fills each page once. The lines are written from
// the batch where they lie; only the few characters on either side of a seam
// between batches are copied, into the writer's page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "datalog/record_batch.h"

namespace datalog {

constexpr std::size_t write_page = 4096;

struct batch_writer {
    std::FILE* output;
    std::FILE* progress;
    std::uint32_t written = 0;  // records handed over (or tried)
    bool failed = false;        // a write to the output failed
    std::size_t held = 0;       // characters in `page`, below write_page
    char page[write_page];
};

// Hands over the batch's lines, writing the page begun before once they
// complete it, and every further whole page in one write; then the progress
// lines of the records
// handed over. A failed write stops it: the records counted are those whose
// lines end within what was written or tried, and only they show progress.
// After a failure it does nothing. A failed write to the progress stream is no
// reason to stop.
void write_batch(batch_writer& writer, const record_batch& batch);

// Writes what is left in the page.
void finish(batch_writer& writer);

}  // namespace datalog
