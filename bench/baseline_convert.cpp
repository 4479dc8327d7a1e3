// The reference the benchmark measures against: a straightforward converter
// written with stdio, as one would write it first: fread per record, fprintf
// per value, printf per progress line. (Its ties round the C library's way.)
#include "baseline_convert.h"

#include <cstdio>

#include "datalog/datalog_format.h"

int baseline_convert(const char* input_path, const char* output_path) {
    std::FILE* input = std::fopen(input_path, "r");
    std::FILE* output = std::fopen(output_path, "w");
    if (input == nullptr || output == nullptr) return 1;
    char record[128];
    std::fseek(input, 1024, SEEK_SET);
    if (std::fread(record, 1, 128, input) != 128) return 1;
    const datalog::datalog_header header = datalog::decode_header(record);
    // A record and its values must fit the buffer: 2 * 64 characters, 16 values.
    if (2 * header.record_length > sizeof record || header.values_per_record > 16 ||
        8 * header.values_per_record > 2 * header.record_length)
        return 1;
    const unsigned long limit = header.record_count != 0 ? header.record_count : 1000000;
    unsigned long written = 0;
    while (written < limit &&
           std::fread(record, 1, 2 * header.record_length, input) == 2 * header.record_length &&
           !datalog::is_end_marker(record)) {
        std::fprintf(output, "%5lu", written + 1);
        for (unsigned k = 0; k < header.values_per_record; ++k)
            std::fprintf(output, ", %+.4E", datalog::decode_packed_value(record + 8 * k));
        std::fputc('\n', output);
        std::printf("Unpacking record %lu from .KYX file\n", written + 1);
        ++written;
    }
    std::printf("%lu records processed\n", written);
    std::fclose(input);
    return std::fclose(output) == 0 ? 0 : 1;
}
