// The threads of a conversion: workers that each, in turn, read a batch of
// records, format it while the others read and write theirs, and write it
// when the batch before it is written. Records are independent and their
// order is the input's, so formatting runs beside the reading and writing,
// and on several cores several batches are formatted at once. Each worker
// has one batch: that is all the memory, however long the input. With one
// worker, the calling thread does it all, batch after batch.
#pragma once

#include <cstdint>
#include <cstdio>
#include "datalog/record_batch.h"
#include "datalog/text_reader.h"

namespace datalog {

// How a conversion shares out its work: `threads` workers (1: the calling
// thread does it all; 0 counts as 1) and at most `batch_records` records a
// batch.
struct pipeline_shape {
    unsigned threads;
    std::uint32_t batch_records;
};

// One worker for each processor this process may use, at most 8 (on one
// processor, the calling thread); batches as large as their buffers allow.
pipeline_shape default_pipeline_shape();

struct pipeline_result {
    std::uint32_t read;  // records read
    // The input ended inside or before a record, and the conversion got
    // there: every record read is in the output.
    bool truncated;
    std::uint32_t written;     // records whose lines the output holds whole
    bool write_failed;         // a write to the output failed; reading stopped soon after
    std::uint64_t whole_size;  // where the last whole line ends in the output
};

// Reads records from `reader` until the end marker or `limit`, and writes each
// one's line to `output` and its progress line to `progress`, in the input's
// order, with `threads` workers (at most 8; 1: the calling thread). The
// reader is left after the last record read; the workers' batches are gone.
pipeline_result run_pipeline(text_reader& reader, const batch_layout& layout, unsigned threads,
                             std::uint32_t limit, std::FILE* output, std::FILE* progress);

}  // namespace datalog
