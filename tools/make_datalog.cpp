// Generates datalog files: the shipped example and the benchmark's workload.
//
//   make_datalog OUTPUT [--records N] [--values V] [--length L] [--count C]
//                       [--seed S] [--random] [--no-marker]
//
// By default the records hold plausible readings of a four-phase measurement
// (voltage, current, power, frequency per phase); --random fills them with
// packed values of random sign, exponent and fraction instead. --count sets
// the header's record count (default 0: records run to the end marker).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "datalog_writer.h"

namespace {

struct options {
    const char* output = nullptr;
    unsigned long records = 40;
    unsigned values = 16;
    unsigned length = 64;
    unsigned long count = 0;
    unsigned long seed = 1;
    bool random = false;
    bool marker = true;
};

bool parse(int argc, char** argv, options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--records" && has_value)
            o.records = std::strtoul(argv[++i], nullptr, 10);
        else if (arg == "--values" && has_value)
            o.values = std::strtoul(argv[++i], nullptr, 10);
        else if (arg == "--length" && has_value)
            o.length = std::strtoul(argv[++i], nullptr, 10);
        else if (arg == "--count" && has_value)
            o.count = std::strtoul(argv[++i], nullptr, 10);
        else if (arg == "--seed" && has_value)
            o.seed = std::strtoul(argv[++i], nullptr, 10);
        else if (arg == "--random")
            o.random = true;
        else if (arg == "--no-marker")
            o.marker = false;
        else if (arg[0] != '-' && o.output == nullptr)
            o.output = argv[i];
        else
            return false;
    }
    return o.output != nullptr;
}

double uniform(std::mt19937& rng) {
    return rng() / 4294967296.0;
}

// A plausible reading: value k of record r, phase k / 4.
double reading(std::mt19937& rng, unsigned long r, unsigned k) {
    const double drift = std::sin(0.05 * r + k / 4);
    switch (k % 4) {
        case 0:
            return 230.0 + 4.0 * drift + 0.5 * (uniform(rng) - 0.5);  // volts
        case 1:
            return 12.0 + 6.0 * drift + 0.2 * (uniform(rng) - 0.5);  // amperes
        case 2:
            return (230.0 * 12.0) * (0.9 + 0.1 * drift) * (uniform(rng) - 0.3);  // watts
        default:
            return 50.0 + 0.02 * (uniform(rng) - 0.5);  // hertz
    }
}

}  // namespace

int main(int argc, char** argv) {
    options o;
    if (!parse(argc, argv, o)) {
        std::fputs(
            "usage: make_datalog OUTPUT [--records N] [--values V] [--length L] "
            "[--count C] [--seed S] [--random] [--no-marker]\n",
            stderr);
        return 2;
    }
    std::FILE* file = std::fopen(o.output, "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "make_datalog: cannot create %s\n", o.output);
        return 1;
    }
    datalog_writer::header_fields header;
    header.record_count = static_cast<std::uint32_t>(o.count);
    header.values_per_record = o.values;
    header.record_length = o.length;
    header.values_per_phase = 4;
    header.phases_per_record = o.values / 4;
    std::string text = datalog_writer::preamble() + datalog_writer::header_block(header);

    std::mt19937 rng(static_cast<std::uint32_t>(o.seed));
    for (unsigned long r = 0; r < o.records; ++r) {
        std::string row;
        for (unsigned k = 0; k < o.values; ++k)
            row += o.random ? datalog_writer::random_packed(rng)
                            : datalog_writer::encode_packed_value(reading(rng, r, k));
        row.resize(2 * o.length, '0');
        text += row;
        if (text.size() >= (1u << 20)) {
            std::fwrite(text.data(), 1, text.size(), file);
            text.clear();
        }
    }
    if (o.marker) text += datalog_writer::end_marker_record(o.length);
    std::fwrite(text.data(), 1, text.size(), file);
    if (std::fclose(file) != 0) {
        std::fprintf(stderr, "make_datalog: cannot write %s\n", o.output);
        return 1;
    }
    return 0;
}
