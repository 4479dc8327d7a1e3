#include "datalog/datalog_convert.h"

#include <memory>

#include "datalog/chunked_io.h"
#include "datalog/datalog_format.h"
#include "datalog/record_line.h"

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

struct conversion_buffers {
    chunked_reader input;
    chunked_writer output;
    chunked_writer progress;
};

// True when a whole record that is no end marker follows: the datalog holds
// more records than the limit let through.
bool more_records_follow(const datalog_header& header, chunked_reader& input) {
    const std::size_t record_size = 2 * header.record_length;
    const char* record = nullptr;
    return read_piece(input, record_size, &record) == record_size && !is_end_marker(record);
}

// Converts records until the end marker or `limit`; returns the number written
// and sets `truncated` when the input ended inside or before a record (for a
// failed read, the reader says so).
std::uint32_t convert_records(const datalog_header& header, std::uint32_t limit, text_mode mode,
                              conversion_buffers& io, bool& truncated) {
    static_assert(2 * max_record_length <= max_piece, "a record fits in what the reader hands out");
    static_assert(record_line_capacity <= max_piece && progress_line_capacity <= max_piece,
                  "a line fits in what the writer reserves");
    const std::size_t record_size = 2 * header.record_length;
    std::uint32_t written = 0;
    record_number number;
    do {
        const char* record = nullptr;
        const std::size_t delivered = read_piece(io.input, record_size, &record);
        if (delivered >= 2 && is_end_marker(record)) break;
        if (delivered < record_size) {
            truncated = true;
            break;
        }
        advance(number);
        char* line = reserve(io.output);
        commit(io.output, format_record_line(number, record, header.values_per_record, mode, line));
        char* progress = reserve(io.progress);
        commit(io.progress, format_progress_line(number, mode, progress));
        ++written;
        // A full disk stops the run at once; the caller reports it. A console
        // that takes no more progress is no reason to stop.
        if (io.output.failed) break;
    } while (written < limit);
    return written;
}

}  // namespace

conversion_result convert_datalog(std::FILE* input, std::FILE* output, text_mode mode) {
    return convert_datalog(input, output, mode, stdout, stderr);
}

conversion_result convert_datalog(std::FILE* input, std::FILE* output, text_mode mode,
                                  std::FILE* progress, std::FILE* report) {
    if (std::fseek(input, header_offset, SEEK_SET) != 0) return conversion_result::invalid_datalog;
    auto io = std::make_unique<conversion_buffers>();
    io->input.stream = input;
    io->input.mode = mode;
    io->output.stream = output;
    io->progress.stream = progress;
    const char* header_block = nullptr;
    if (read_piece(io->input, header_length, &header_block) != header_length)
        return io->input.failed ? conversion_result::input_read_failed
                                : conversion_result::invalid_datalog;

    const datalog_header header = decode_header(header_block);
    report_header(header, report, mode);
    if (!header_is_consistent(header)) return conversion_result::invalid_datalog;
    write_text(report, mode, "\nAnalysing datalog file\n");

    const std::uint32_t limit =
        header.record_count != 0 ? header.record_count : default_record_limit;
    bool truncated = false;
    const std::uint32_t written = convert_records(header, limit, mode, *io, truncated);
    flush(io->output);
    flush(io->progress);
    std::fflush(progress);  // keeps the progress ahead of what follows in the report

    // The reader reads ahead: a failed read counts only where it kept the
    // conversion from bytes it needed, not past the end marker or the count.
    const bool failed = truncated && io->input.failed;
    if (truncated && !failed)
        print_text(report, mode, "Datalog file truncated after record %d\n",
                   static_cast<int>(written));
    // Without a count the limit is the format's, not the file's word: records
    // past it are not converted, and the user is told so.
    if (header.record_count == 0 && written == limit && !io->output.failed &&
        more_records_follow(header, io->input))
        print_text(report, mode, "Datalog file holds more records after record %d\n",
                   static_cast<int>(written));
    print_text(progress, mode, "%d records processed\n", static_cast<int>(written));
    std::fflush(progress);
    return failed ? conversion_result::input_read_failed : conversion_result::ran;
}

}  // namespace datalog
