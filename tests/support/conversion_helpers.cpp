#include "conversion_helpers.h"

#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "datalog/datalog_convert.h"
#include "datalog/text_reader.h"

namespace {

// A read-only stream over `bytes` whose reads fail from offset `fail_at` on.
struct failing_source {
    const std::string* bytes;
    long fail_at;
    long position;
    bool unseekable;
    long read = 0;  // how far reading got
};

ssize_t read_failing(void* cookie, char* buffer, size_t size) {
    auto* source = static_cast<failing_source*>(cookie);
    if (source->position >= source->fail_at) {
        errno = EIO;
        return -1;
    }
    const long end = std::min<long>(source->fail_at, static_cast<long>(source->bytes->size()));
    const auto count = static_cast<size_t>(std::max<long>(0, end - source->position));
    const size_t given = std::min(size, count);
    std::memcpy(buffer, source->bytes->data() + source->position, given);
    source->position += static_cast<long>(given);
    source->read = std::max(source->read, source->position);
    if (given == 0) {  // the end of the bytes before the failing offset
        errno = EIO;
        return -1;
    }
    return static_cast<ssize_t>(given);
}

int seek_failing(void* cookie, off64_t* offset, int whence) {
    auto* source = static_cast<failing_source*>(cookie);
    if (whence != SEEK_SET || source->unseekable) {
        errno = ESPIPE;
        return -1;
    }
    source->position = static_cast<long>(*offset);
    return 0;
}

}  // namespace

std::string read_in_pieces(std::FILE* stream, const std::vector<std::size_t>& sizes,
                           datalog::text_mode mode, bool* short_before_end) {
    datalog::text_reader reader(stream, mode);
    std::string text;
    for (std::size_t i = 0;; ++i) {
        const std::size_t size = sizes[i % sizes.size()];
        std::vector<char> piece(size);
        const std::size_t got = reader.read(piece.data(), size);
        text.append(piece.data(), got);
        if (got < size && !reader.ended() && short_before_end != nullptr) *short_before_end = true;
        if (got < size) return text;
    }
}

std::string read_all(std::FILE* file) {
    std::string text;
    std::rewind(file);
    char chunk[65536];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        text.append(chunk, got);
    return text;
}

conversion run_conversion(const std::string& datalog_bytes, long fail_at, datalog::text_mode mode,
                          bool unseekable, const char* output_path) {
    failing_source source{&datalog_bytes, fail_at >= 0 ? fail_at : 1L << 40, 0, unseekable};
    std::FILE* input = nullptr;
    if (fail_at >= 0 || unseekable) {
        input = fopencookie(&source, "r", {read_failing, nullptr, seek_failing, nullptr});
    } else {
        input = std::tmpfile();
        std::fwrite(datalog_bytes.data(), 1, datalog_bytes.size(), input);
        std::rewind(input);
    }
    std::FILE* output = output_path != nullptr ? std::fopen(output_path, "wb") : std::tmpfile();
    if (output_path != nullptr) std::setvbuf(output, nullptr, _IONBF, 0);

    // The console streams in memory, which no file size limit reaches.
    char *progress_text = nullptr, *report_text = nullptr;
    std::size_t progress_size = 0, report_size = 0;
    std::FILE* progress = open_memstream(&progress_text, &progress_size);
    std::FILE* report = open_memstream(&report_text, &report_size);
    conversion result{};
    result.status = datalog::convert_datalog(input, output, mode, progress, report, held_choices());
    result.output_error = std::ferror(output) != 0;
    std::fflush(output);
    if (output_path == nullptr) result.text = read_all(output);
    for (std::FILE* file : {input, output, progress, report}) std::fclose(file);
    result.out.assign(progress_text, progress_size);
    result.err.assign(report_text, report_size);
    std::free(progress_text);
    std::free(report_text);
    result.input_read = source.read;
    return result;
}

datalog::conversion_choices& held_choices() {
    static datalog::conversion_choices choices;
    return choices;
}

std::string header_report(unsigned count, unsigned values, unsigned per_phase, unsigned phases) {
    std::string report = count != 0 ? "\nNumber of records " + std::to_string(count) + "\n"
                                    : std::string("\nAutodetect number of records\n");
    report += std::to_string(values) + " values per record\n";
    report += std::to_string(per_phase) + " values per phase\n";
    report += std::to_string(phases) + " phases per record\n";
    return report;
}

std::string progress_line(unsigned record) {
    return "Unpacking record " + std::to_string(record) + " from .KYX file\n";
}

std::string summary(unsigned records) {
    return std::to_string(records) + " records processed\n";
}

std::string with_crlf(const std::string& text) {
    std::string crlf;
    for (const char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return crlf;
}

const std::vector<datalog::pipeline_shape>& tested_pipeline_shapes() {
    static const std::vector<datalog::pipeline_shape> shapes = {
        {1, datalog::max_batch_records}, {1, 1}, {2, 1}, {2, 3},
        {2, datalog::max_batch_records}, {3, 2}, {8, 1}, {8, 7},
    };
    return shapes;
}

std::string shape_name(const datalog::pipeline_shape& shape) {
    return std::to_string(shape.threads) + " threads, batches of " +
           std::to_string(shape.batch_records) + " records";
}

void in_every_way(
    const std::function<void(datalog::text_mode mode, const std::string& name)>& check) {
    for (const datalog::text_mode mode : {datalog::text_mode::bytes, datalog::text_mode::windows}) {
        for (const datalog::pipeline_shape& shape : tested_pipeline_shapes()) {
            const scoped_pipeline_shape held(shape);
            check(mode, shape_name(shape) +
                            (mode == datalog::text_mode::windows ? ", Windows' text mode" : ""));
        }
    }
}

std::string in_mode(datalog::text_mode mode, const std::string& text) {
    return mode == datalog::text_mode::windows ? with_crlf(text) : text;
}
