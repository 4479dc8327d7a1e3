#include "datalog/datalog_convert.h"

#include <memory>

#include "datalog/chunked_io.h"
#include "datalog/datalog_format.h"
#include "datalog/record_line.h"
#include "datalog/stream_bytes.h"

namespace datalog {
namespace {

void report_header(const datalog_header& header, std::FILE* report) {
    if (header.record_count != 0)
        std::fprintf(report, "\nNumber of records %d\n", static_cast<int>(header.record_count));
    else
        std::fputs("\nAutodetect number of records\n", report);
    std::fprintf(report, "%d values per record\n", static_cast<int>(header.values_per_record));
    std::fprintf(report, "%d values per phase\n", static_cast<int>(header.values_per_phase));
    std::fprintf(report, "%d phases per record\n", static_cast<int>(header.phases_per_record));
}

struct conversion_buffers {
    chunked_reader input;
    chunked_writer output;
    chunked_writer progress;
};

// Converts records until the end marker or `limit`; returns the number written
// and sets `truncated` when the input ended inside or before a record (for a
// failed read, the reader says so).
std::uint32_t convert_records(const datalog_header& header, std::uint32_t limit, bool crlf,
                              conversion_buffers& io, bool& truncated) {
    static_assert(2 * max_record_length <= max_piece, "a record fits in what the reader hands out");
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
        commit(io.output, format_record_line(number, record, header.values_per_record, crlf, line));
        char* progress = reserve(io.progress);
        commit(io.progress, format_progress_line(number, crlf, progress));
        ++written;
    } while (written < limit);
    return written;
}

}  // namespace

int convert_datalog(std::FILE* input, std::FILE* output) {
    return convert_datalog(input, output, stdout, stderr, system_text_mode());
}

int convert_datalog(std::FILE* input, std::FILE* output, std::FILE* progress, std::FILE* report,
                    text_mode mode) {
    if (std::fseek(input, header_offset, SEEK_SET) != 0) return invalid_datalog;
    // Text mode is done here, over streams that pass bytes as they are.
    pass_bytes(input);
    pass_bytes(output);
    auto io = std::make_unique<conversion_buffers>();
    io->input.stream = input;
    io->input.mode = mode;
    io->output.stream = output;
    io->progress.stream = progress;
    const char* header_block = nullptr;
    if (read_piece(io->input, header_length, &header_block) != header_length)
        return io->input.failed ? input_read_failed : invalid_datalog;

    const datalog_header header = decode_header(header_block);
    report_header(header, report);
    if (!header_is_consistent(header)) return invalid_datalog;
    std::fputs("\nAnalysing datalog file\n", report);

    const std::uint32_t limit =
        header.record_count != 0 ? header.record_count : default_record_limit;
    const bool crlf = mode == text_mode::windows;
    bool truncated = false;
    const int progress_mode = pass_bytes(progress);
    const std::uint32_t written = convert_records(header, limit, crlf, *io, truncated);
    flush(io->output);
    flush(io->progress);
    std::fflush(progress);  // keeps the progress ahead of what follows in the report
    restore_mode(progress, progress_mode);

    const bool failed = io->input.failed;
    if (truncated && !failed)
        std::fprintf(report, "Datalog file truncated after record %d\n", static_cast<int>(written));
    std::fprintf(progress, "%d records processed\n", static_cast<int>(written));
    std::fflush(progress);
    return failed ? input_read_failed : conversion_ran;
}

}  // namespace datalog
