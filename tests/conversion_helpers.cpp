#include "conversion_helpers.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "datalog/datalog_convert.h"

namespace {

std::string read_all(std::FILE* file) {
    std::string text;
    std::rewind(file);
    char chunk[65536];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        text.append(chunk, got);
    return text;
}

}  // namespace

conversion run_conversion(const std::string& datalog_bytes) {
    std::FILE* input = std::tmpfile();
    std::FILE* output = std::tmpfile();
    std::fwrite(datalog_bytes.data(), 1, datalog_bytes.size(), input);
    std::rewind(input);

    conversion result{};
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    result.status = datalog::convert_datalog(input, output);
    result.out = testing::internal::GetCapturedStdout();
    result.err = testing::internal::GetCapturedStderr();
    result.output_error = std::ferror(output) != 0;
    std::fflush(output);
    result.text = read_all(output);
    std::fclose(input);
    std::fclose(output);
    return result;
}

std::string header_report(unsigned count, unsigned values, unsigned per_phase, unsigned phases) {
    std::string report = count != 0 ? "\nNumber of records " + std::to_string(count) + "\n"
                                    : std::string("\nAutodetect number of records\n");
    report += std::to_string(values) + " values per record\n";
    report += std::to_string(per_phase) + " values per phase\n";
    report += std::to_string(phases) + " phases per record\n";
    return report;
}
