// The conversion benchmark: the program against a plain stdio converter and
// against two floors, side by side in one run, on a generated workload
// (1,000,000 records of 16 values, record length 64, no record count): the
// copy floor (read the input, then write as many bytes as the output) and the
// write-only floor (write the output's bytes, reading nothing).
//
//   datalog_bench [--records N] [--runs K] [--dir DIR] [--overwrite] [--path NAME]
//                 [--threads N] [--windows]
//
// Each run starts the four as processes with standard input, output and error
// on /dev/null; the table shows the median wall time of each, their ratios,
// and the program's peak resident memory. Each run starts with nothing left to
// write back from the runs before it, and writes a new output file;
// with --overwrite each truncates the previous run's output instead, as a
// conversion run again over its old output does (that costs every run alike).
// --path scalar, sse41, avx2 or avx512 holds the program to that way of formatting
// values, and --threads N to N threads that each read, format and write
// batches of records in turn (1: one thread does it all): the benchmark then
// runs the program's own main routine, linked into datalog_bench_programs, in
// place of the built program.
//
// --windows measures where Windows users run it, under Wine: the Windows
// program, and Windows builds of the baseline and the copy floor (from the
// tests' Windows build), with the Linux program run beside them, the console
// of each going to a scratch file. Above 1,000,000 records the workload's
// header gives the record count.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_runs.h"
#include "datalog/value_text/value_paths.h"

namespace {

using namespace bench;

// What the command line asks.
struct options {
    datalog::value_path path = datalog::fastest_value_path();
    unsigned long records = 1000000;
    int runs = 9;
    bool windows = false;
    bool overwrite = false;
    std::string threads = "auto";
    std::string dir = "/tmp";
};

// False, with a message, for a path this machine does not run.
bool parse(int argc, char** argv, options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : "";
        if (option == "--overwrite") o.overwrite = true;
        if (option == "--windows") o.windows = true;
        if (option == "--records") o.records = std::strtoul(value, nullptr, 10);
        if (option == "--runs") o.runs = std::atoi(value);
        if (option == "--dir") o.dir = value;
        if (option == "--threads") o.threads = value;
        if (option == "--path" && (!datalog::value_path_named(value, &o.path) ||
                                   !datalog::value_path_available(o.path))) {
            std::fprintf(stderr, "datalog_bench: no formatting path %s here\n", value);
            return false;
        }
    }
    return true;
}

// The target for the program's time over the copy floor, per path: the
// README's.
const char* floor_target(datalog::value_path path) {
    switch (path) {
        case datalog::value_path::avx512:
            return "<= 1.15x";
        case datalog::value_path::avx2:
            return "<= 1.25x";
        case datalog::value_path::sse41:
            return "<= 1.5x";
        case datalog::value_path::scalar:
            break;
    }
    return "<= 2.5x";
}

// The medians of the runs.
struct results {
    double baseline, program, copy, write, linux_program;
    long peak_kib;
    long long output_size;
    bool baseline_scaled;
};

results measure(const options& o, const runner& r, const platform& measured,
                const platform& native) {
    const bool held = o.path != datalog::fastest_value_path() || o.threads != "auto";
    // The built program, or the same routine held to the path named.
    const auto program_run = [&](const platform& p, const std::string& in, const std::string& out) {
        if (!held) return std::vector<std::string>{p.program, "-i" + in, "-o" + out};
        return std::vector<std::string>{
            p.bench_programs, "program", datalog::value_path_name(o.path),
            o.threads,        "-i" + in, "-o" + out};
    };
    const std::string input = "datalog_bench_" + std::to_string(o.records) + ".KYX";
    const std::string output = "datalog_bench_out.txt";
    if (file_size(o.dir + "/" + input) != 1152 + 128 * static_cast<long long>(o.records + 1))
        make_workload(o.dir + "/" + input, o.records);

    // One untimed round warms the page cache and gives the output's size.
    r.run(measured, program_run(measured, input, output), output);
    results m{};
    m.output_size = file_size(o.dir + "/" + output);
    const std::string size = std::to_string(m.output_size);
    // Under Wine the stdio baseline needs some 17 us a value (each fprintf goes
    // through the runtime's text mode): it converts the first 10,000 records,
    // and its time is scaled to the workload's records.
    const unsigned long baseline_records = o.windows ? std::min(o.records, 10000ul) : o.records;
    m.baseline_scaled = baseline_records < o.records;
    const std::string baseline_input = "datalog_bench_" + std::to_string(baseline_records) + ".KYX";
    if (file_size(o.dir + "/" + baseline_input) !=
        1152 + 128 * static_cast<long long>(baseline_records + 1))
        make_workload(o.dir + "/" + baseline_input, baseline_records);
    const auto baseline_run = [&] {
        return r.run(measured, {measured.bench_programs, "baseline", baseline_input, output},
                     output)
                   .seconds *
               o.records / baseline_records;
    };
    baseline_run();
    std::vector<double> baseline, program, copy, write, linux_program;
    for (int k = 0; k < o.runs; ++k) {
        baseline.push_back(baseline_run());
        const measurement p = r.run(measured, program_run(measured, input, output), output);
        program.push_back(p.seconds);
        m.peak_kib = std::max(m.peak_kib, p.peak_kib);
        copy.push_back(
            r.run(measured, {measured.bench_programs, "copy", input, output, size}, output)
                .seconds);
        write.push_back(
            r.run(measured, {measured.bench_programs, "write", output, size}, output).seconds);
        if (o.windows)
            linux_program.push_back(
                r.run(native, program_run(native, input, output), output).seconds);
    }
    std::remove((o.dir + "/" + output).c_str());
    std::remove((o.dir + "/datalog_bench_console.txt").c_str());
    m.baseline = median(baseline);
    m.program = median(program);
    m.copy = median(copy);
    m.write = median(write);
    m.linux_program = o.windows ? median(linux_program) : 0;
    return m;
}

void print(const options& o, const platform& measured, const results& m) {
    const std::string input = o.dir + "/datalog_bench_" + std::to_string(o.records) + ".KYX";
    std::printf(
        "workload: %lu records x 16 values, %.1f MB in, %.1f MB out; median of %d runs%s\n\n",
        o.records, file_size(input) / 1e6, m.output_size / 1e6, o.runs,
        o.overwrite ? ", each overwriting the last output" : ", each to a new output file");
    std::printf("%s programs%s; RARedir formats values with the %s path%s, %s\n\n",
                measured.name.c_str(), o.windows ? " under Wine" : "",
                datalog::value_path_name(o.path),
                o.path != datalog::fastest_value_path() ? " (held there by --path)"
                                                        : ", the fastest this processor runs",
                o.threads == "auto" ? "on as many threads as it chooses"
                                    : ("held to " + o.threads + " thread(s) by --threads").c_str());
    std::printf("| run                  | wall time |\n|---|---|\n");
    std::printf("| stdio baseline       | %7.3f s |%s\n", m.baseline,
                m.baseline_scaled ? " (10,000 records' time, scaled)" : "");
    std::printf("| RARedir              | %7.3f s |\n", m.program);
    std::printf("| copy floor           | %7.3f s |\n", m.copy);
    std::printf("| write-only floor     | %7.3f s |\n", m.write);
    if (o.windows) std::printf("| RARedir on Linux     | %7.3f s |\n", m.linux_program);
    std::printf("\n| measure                     | value   | target |\n|---|---|---|\n");
    std::printf("| baseline / RARedir          | %5.2fx  | >= 6x  |\n", m.baseline / m.program);
    std::printf("| RARedir / copy floor        | %5.2fx  | %s |\n", m.program / m.copy,
                floor_target(o.path));
    std::printf("| RARedir / write-only floor  | %5.2fx  | (none: where it stands) |\n",
                m.program / m.write);
    if (o.windows)
        std::printf("| Windows / Linux program     | %5.2fx  | <= 2x (largest datalog) |\n",
                    m.program / m.linux_program);
    std::printf("| RARedir peak resident memory| %5.1f MB | < 16 MB |\n", m.peak_kib / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    options o;
    if (!parse(argc, argv, o)) return 1;
    const platform native = linux_programs();
    const platform measured = o.windows ? windows_programs() : native;
    const runner r{o.dir, o.overwrite, o.windows};
    const results m = measure(o, r, measured, native);
    if (o.windows) stop_windows();
    print(o, measured, m);
    return 0;
}
