// The conversion benchmark: the program against a plain stdio converter and
// against the copy floor, side by side in one run, on a generated workload
// (1,000,000 records of 16 values, record length 64, no record count).
//
//   datalog_bench [--records N] [--runs K] [--dir DIR] [--overwrite] [--path NAME]
//
// Each run starts the three as processes with standard input, output and error
// on /dev/null; the table shows the median wall time of each, their ratios,
// and the program's peak resident memory. Each run starts with nothing left to
// write back from the runs before it, and writes a new output file;
// with --overwrite each truncates the previous run's output instead, as a
// conversion run again over its old output does (that costs every run alike).
// --path scalar, avx2 or avx512 holds the program to that way of formatting
// values: the benchmark then runs the program's own main routine, linked into
// itself, in place of the built program.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/run_command_line.h"
#include "baseline_convert.h"
#include "datalog/value_text/value_paths.h"
#include "datalog_writer.h"

namespace {

struct measurement {
    double seconds;
    long peak_kib;
};

bool overwrite = false;

// Runs a command on the workload. Outside the timing: unless overwriting, the
// output file it writes is removed first; then everything written so far is
// flushed to disk, so that no run pays for writing back an earlier run's output.
measurement run(std::vector<std::string> words, const std::string& output) {
    if (!overwrite) std::remove(output.c_str());
    sync();
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    wait4(child, &status, 0, &usage);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "datalog_bench: %s failed\n", words[0].c_str());
        std::exit(1);
    }
    return {elapsed.count(), usage.ru_maxrss};
}

long long file_size(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 ? status.st_size : -1;
}

void make_workload(const std::string& path, unsigned long records) {
    datalog_writer::header_fields header;
    header.values_per_record = 16;
    header.record_length = 64;
    header.values_per_phase = 4;
    header.phases_per_record = 4;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::string text = datalog_writer::preamble() + datalog_writer::header_block(header);
    std::mt19937 rng(20261207);
    for (unsigned long r = 0; r < records; ++r) {
        for (int k = 0; k < 16; ++k) text += datalog_writer::random_packed(rng);
        if (text.size() >= (1u << 20)) {
            std::fwrite(text.data(), 1, text.size(), file);
            text.clear();
        }
    }
    text += datalog_writer::end_marker_record(64);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "baseline") == 0)
        return baseline_convert(argv[2], argv[3]);
    if (argc == 5 && std::strcmp(argv[1], "copy") == 0)
        return copy_floor(argv[2], argv[3], std::atoll(argv[4]));
    datalog::value_path path = datalog::active_value_path();
    if (argc >= 3 && std::strcmp(argv[1], "program") == 0) {  // program PATH ARGUMENTS...
        datalog::value_path_named(argv[2], &path);
        datalog::set_value_path(path);
        argv[2] = argv[0];
        return app::run_command_line(argc - 2, argv + 2);
    }

    unsigned long records = 1000000;
    int runs = 9;
    std::string dir = "/tmp";
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : "";
        if (option == "--overwrite") overwrite = true;
        if (option == "--records") records = std::strtoul(value, nullptr, 10);
        if (option == "--runs") runs = std::atoi(value);
        if (option == "--dir") dir = value;
        if (option == "--path" &&
            (!datalog::value_path_named(value, &path) || !datalog::value_path_available(path))) {
            std::fprintf(stderr, "datalog_bench: no formatting path %s here\n", value);
            return 1;
        }
    }
    const bool held = path != datalog::active_value_path();
    const std::string self = argv[0];
    // The built program, or the same routine held to the path named.
    const auto program_run = [&](const std::string& in, const std::string& out) {
        if (!held) return std::vector<std::string>{RAREDIR_PATH, "-i" + in, "-o" + out};
        return std::vector<std::string>{self, "program", datalog::value_path_name(path), "-i" + in,
                                        "-o" + out};
    };
    const std::string input = dir + "/datalog_bench_" + std::to_string(records) + ".KYX";
    const std::string output = dir + "/datalog_bench_out.txt";
    if (file_size(input) != 1152 + 128 * static_cast<long long>(records + 1))
        make_workload(input, records);

    // One untimed round warms the page cache and gives the output's size.
    run(program_run(input, output), output);
    const long long output_size = file_size(output);
    run({self, "baseline", input, output}, output);
    std::vector<double> baseline, converter, floor;
    long peak_kib = 0;
    for (int r = 0; r < runs; ++r) {
        baseline.push_back(run({self, "baseline", input, output}, output).seconds);
        const measurement m = run(program_run(input, output), output);
        converter.push_back(m.seconds);
        peak_kib = std::max(peak_kib, m.peak_kib);
        floor.push_back(
            run({self, "copy", input, output, std::to_string(output_size)}, output).seconds);
    }
    std::remove(output.c_str());

    const double b = median(baseline), c = median(converter), f = median(floor);
    std::printf(
        "workload: %lu records x 16 values, %.1f MB in, %.1f MB out; median of %d runs%s\n\n",
        records, file_size(input) / 1e6, output_size / 1e6, runs,
        overwrite ? ", each overwriting the last output" : ", each to a new output file");
    std::printf("RARedir formats values with the %s path%s\n\n", datalog::value_path_name(path),
                held ? " (held there by --path)" : ", the fastest this processor runs");
    std::printf("| run                  | wall time |\n|---|---|\n");
    std::printf("| stdio baseline       | %7.3f s |\n", b);
    std::printf("| RARedir              | %7.3f s |\n", c);
    std::printf("| copy floor           | %7.3f s |\n\n", f);
    std::printf("| measure                     | value   | target |\n|---|---|---|\n");
    std::printf("| baseline / RARedir          | %5.2fx  | >= 6x  |\n", b / c);
    std::printf("| RARedir / copy floor        | %5.2fx  | <= 2x  |\n", c / f);
    std::printf("| RARedir peak resident memory| %5.1f MB | < 16 MB |\n", peak_kib / 1024.0);
    return 0;
}
