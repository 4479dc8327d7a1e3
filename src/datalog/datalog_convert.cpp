#include "datalog/datalog_convert.h"

#include "datalog/datalog_format.h"
#include "datalog/record_batch.h"
#include "datalog/record_pipeline.h"
#include "datalog/stream_bytes.h"
#include "datalog/text_reader.h"

namespace datalog {
namespace {

void report_header(const datalog_header& header, std::FILE* report, text_mode mode) {
    if (header.record_count != 0)
        print_text(report, mode, "\nNumber of records %d\n", static_cast<int>(header.record_count));
    else
        write_text(report, mode, "\nAutodetect number of records\n");
    print_text(report, mode, "%d values per record\n", static_cast<int>(header.values_per_record));
    print_text(report, mode, "%d values per phase\n", static_cast<int>(header.values_per_phase));
    print_text(report, mode, "%d phases per record\n", static_cast<int>(header.phases_per_record));
}

// True when a whole record that is no end marker follows: the datalog holds
// more records than the limit let through.
bool more_records_follow(const datalog_header& header, text_reader& input) {
    const std::size_t record_size = 2 * header.record_length;
    char record[2 * max_record_length];
    return input.read(record, record_size) == record_size && !is_end_marker(record);
}

}  // namespace

conversion_result convert_datalog(std::FILE* input, std::FILE* output, text_mode mode) {
    return convert_datalog(input, output, mode, stdout, stderr);
}

conversion_result convert_datalog(std::FILE* input, std::FILE* output, text_mode mode,
                                  std::FILE* progress, std::FILE* report,
                                  const conversion_choices& choices) {
    if (std::fseek(input, header_offset, SEEK_SET) != 0) return conversion_result::invalid_datalog;
    // The header block is read alone, into a buffer of its own; the records
    // are read into the batches' buffers.
    text_reader reader(input, mode);
    char header_block[header_length];
    if (reader.read(header_block, header_length) != header_length)
        return reader.failed() ? conversion_result::input_read_failed
                               : conversion_result::invalid_datalog;

    const datalog_header header = decode_header(header_block);
    report_header(header, report, mode);
    if (!header_is_consistent(header)) return conversion_result::invalid_datalog;
    write_text(report, mode, "\nAnalysing datalog file\n");

    const std::uint32_t limit =
        header.record_count != 0 ? header.record_count : default_record_limit;
    const pipeline_shape& shape = choices.shape;
    const batch_layout layout = layout_for(header, choices.path, mode, shape.batch_records);
    const pipeline_result result =
        run_pipeline(reader, layout, shape.threads, limit, output, progress);
    std::fflush(progress);  // keeps the progress ahead of what follows in the report
    // After a failed write the output holds whole lines only, where it can be cut.
    if (result.write_failed) cut_stream(output, result.whole_size);
    const std::uint32_t written = result.written;
    const bool truncated = result.truncated;

    // The reader reads ahead: a failed read counts only where it kept the
    // conversion from bytes it needed, not past the end marker or the count.
    const bool failed = truncated && reader.failed();
    if (truncated && !failed)
        print_text(report, mode, "Datalog file truncated after record %d\n",
                   static_cast<int>(written));
    // Without a count the limit is the format's, not the file's word: records
    // past it are not converted, and the user is told so.
    if (header.record_count == 0 && result.read == limit && !result.write_failed &&
        more_records_follow(header, reader))
        print_text(report, mode, "Datalog file holds more records after record %d\n",
                   static_cast<int>(written));
    print_text(progress, mode, "%d records processed\n", static_cast<int>(written));
    std::fflush(progress);
    return failed ? conversion_result::input_read_failed : conversion_result::ran;
}

}  // namespace datalog
