#include "conversion_helpers.h"

#include <cstdio>

#include "datalog/datalog_convert.h"

std::string read_all(std::FILE* file) {
    std::string text;
    std::rewind(file);
    char chunk[65536];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        text.append(chunk, got);
    return text;
}

conversion run_conversion(const std::string& datalog_bytes) {
    std::FILE* input = std::tmpfile();
    std::FILE* output = std::tmpfile();
    std::fwrite(datalog_bytes.data(), 1, datalog_bytes.size(), input);
    std::rewind(input);

    std::FILE* progress = std::tmpfile();
    std::FILE* report = std::tmpfile();
    conversion result{};
    result.status = datalog::convert_datalog(input, output, progress, report);
    result.output_error = std::ferror(output) != 0;
    std::fflush(output);
    result.text = read_all(output);
    result.out = read_all(progress);
    result.err = read_all(report);
    for (std::FILE* file : {input, output, progress, report}) std::fclose(file);
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
