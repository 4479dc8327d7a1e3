// The conversion run: one opened datalog file into one opened text file.
#pragma once

#include <cstdio>

#include "datalog/record_pipeline.h"
#include "datalog/text_mode.h"
#include "datalog/value_text/value_paths.h"

namespace datalog {

// Reads the header block at byte 1024 of `input` and reports it on the error
// stream, then writes one text line to `output` and one progress line to
// standard output for each record, up to the end marker or the record limit,
// and ends with "%d records processed\n" on standard output. The streams pass
// bytes as they are; `mode` says how the system's text reads and how its lines
// end (text_mode.h), for every line written, the messages included.
//
// Returns `ran` also when it wrote no record, when the file ended inside a
// record, and when a datalog without a record count holds records past the
// 1000000 converted (both said on the error stream). `invalid_datalog`: the
// input cannot be positioned, the header block is incomplete, or the header
// describes records that cannot hold their values. `input_read_failed`: a
// failed read of the input (an error, not its end) kept it from bytes it
// needed; the records before it are written and counted, and nothing is said
// of truncation. A read that fails only past the end marker or the record
// count is no failure. Neither stream is closed. A failed write to `output`
// stops the conversion at once, and shows in ferror(output); the records
// counted, and shown in the progress, are the whole lines the output holds,
// and a regular file is cut back to them.
enum class conversion_result { ran, invalid_datalog, input_read_failed };
conversion_result convert_datalog(std::FILE* input, std::FILE* output, text_mode mode);

// How a conversion does its work, which changes nothing it writes: how it is
// shared out and how values are formatted. Chosen from this processor unless
// the caller holds it to others, as the tests and the benchmark do.
struct conversion_choices {
    pipeline_shape shape = default_pipeline_shape();
    value_path path = fastest_value_path();
};

// The same, with the console streams named (`progress` takes what goes to
// standard output, `report` what goes to the error stream) and the choices.
conversion_result convert_datalog(std::FILE* input, std::FILE* output, text_mode mode,
                                  std::FILE* progress, std::FILE* report,
                                  const conversion_choices& choices = {});

}  // namespace datalog
