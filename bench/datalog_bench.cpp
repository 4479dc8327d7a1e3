// The conversion benchmark: the program against a plain stdio converter and
// against the copy floor, side by side in one run, on a generated workload
// (1,000,000 records of 16 values, record length 64, no record count).
//
//   datalog_bench [--records N] [--runs K] [--dir DIR] [--overwrite] [--path NAME]
//                 [--threads N] [--windows]
//
// Each run starts the three as processes with standard input, output and error
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

#include "datalog/datalog_format.h"
#include "datalog/value_text/value_paths.h"
#include "datalog_writer.h"

namespace {

struct measurement {
    double seconds;
    long peak_kib;
};

bool overwrite = false;
std::string dir = "/tmp";
// Under Wine every write to a device goes through its server, some
// milliseconds each: there the console goes to a scratch file, and so does the
// Linux program's when it runs beside the Windows one, for a fair comparison.
bool console_to_file = false;

// The programs one platform runs: the converter, the benchmark's own programs,
// and the Wine loader they run under (none on Linux).
struct platform {
    std::string name, program, bench_programs, loader;
};

platform linux_programs() {
    return {"Linux", RAREDIR_PATH, BENCH_PROGRAMS_PATH, ""};
}

// Runs a command in `dir` on the workload. Outside the timing: unless
// overwriting, the output file it writes is removed first; then everything
// written so far is flushed to disk, so that no run pays for writing back an
// earlier run's output.
measurement run(const platform& p, std::vector<std::string> words, const std::string& output) {
    if (!overwrite) std::remove((dir + "/" + output).c_str());
    sync();
    if (!p.loader.empty()) words.insert(words.begin(), p.loader);
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_RDWR);
        const int console = !console_to_file ? null
                                             : open((dir + "/datalog_bench_console.txt").c_str(),
                                                    O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(null, 0);
        dup2(console, 1);
        dup2(console, 2);
        if (chdir(dir.c_str()) != 0) _exit(126);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    wait4(child, &status, 0, &usage);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "datalog_bench: %s failed\n", words[p.loader.empty() ? 0 : 1].c_str());
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
    header.record_count = records > datalog::default_record_limit ? records : 0;
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

// The Windows programs of the tests' build, under its Wine prefix, with one
// Wine server kept running for all the runs.
platform windows_programs() {
    const std::string windows_dir = WINDOWS_DIR, loader = WINE_LOADER;
    if (windows_dir.empty()) {
        std::fprintf(stderr, "datalog_bench: this build has no Windows program\n");
        std::exit(1);
    }
    setenv("WINEDEBUG", "-all", 1);
    setenv("WINEPREFIX", (windows_dir + "/wineprefix").c_str(), 1);
    setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
    if (loader.size() > 2 && loader.compare(loader.size() - 2, 2, "64") == 0)
        setenv("WINELOADER", loader.c_str(), 1);
    // The prefix made, the server that made it gone, and a persistent one started.
    if (std::system((loader + " wineboot --init >/dev/null 2>&1").c_str()) != 0 ||
        std::system(WINESERVER " --wait") != 0 ||
        std::system(WINESERVER " --persistent </dev/null >/dev/null 2>&1") != 0) {
        std::fprintf(stderr, "datalog_bench: cannot start Wine\n");
        std::exit(1);
    }
    return {"Windows", windows_dir + "/RARedir.exe", windows_dir + "/datalog_bench_programs.exe",
            loader};
}

}  // namespace

int main(int argc, char** argv) {
    datalog::value_path path = datalog::active_value_path();
    unsigned long records = 1000000;
    int runs = 9;
    bool windows = false;
    std::string threads = "auto";
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : "";
        if (option == "--overwrite") overwrite = true;
        if (option == "--windows") windows = true;
        if (option == "--records") records = std::strtoul(value, nullptr, 10);
        if (option == "--runs") runs = std::atoi(value);
        if (option == "--dir") dir = value;
        if (option == "--threads") threads = value;
        if (option == "--path" &&
            (!datalog::value_path_named(value, &path) || !datalog::value_path_available(path))) {
            std::fprintf(stderr, "datalog_bench: no formatting path %s here\n", value);
            return 1;
        }
    }
    const bool held = path != datalog::active_value_path() || threads != "auto";
    const platform native = linux_programs();
    const platform measured = windows ? windows_programs() : native;
    console_to_file = windows;
    // The built program, or the same routine held to the path named.
    const auto program_run = [&](const platform& p, const std::string& in, const std::string& out) {
        if (!held) return std::vector<std::string>{p.program, "-i" + in, "-o" + out};
        return std::vector<std::string>{p.bench_programs, "program", datalog::value_path_name(path),
                                        threads,          "-i" + in, "-o" + out};
    };
    const std::string input = "datalog_bench_" + std::to_string(records) + ".KYX";
    const std::string output = "datalog_bench_out.txt";
    if (file_size(dir + "/" + input) != 1152 + 128 * static_cast<long long>(records + 1))
        make_workload(dir + "/" + input, records);

    // One untimed round warms the page cache and gives the output's size.
    run(measured, program_run(measured, input, output), output);
    const long long output_size = file_size(dir + "/" + output);
    // Under Wine the stdio baseline needs some 17 us a value (each fprintf goes
    // through the runtime's text mode): it converts the first 10,000 records,
    // and its time is scaled to the workload's records.
    const unsigned long baseline_records = windows ? std::min(records, 10000ul) : records;
    const std::string baseline_input = "datalog_bench_" + std::to_string(baseline_records) + ".KYX";
    if (file_size(dir + "/" + baseline_input) !=
        1152 + 128 * static_cast<long long>(baseline_records + 1))
        make_workload(dir + "/" + baseline_input, baseline_records);
    const auto baseline_run = [&] {
        return run(measured, {measured.bench_programs, "baseline", baseline_input, output}, output)
                   .seconds *
               records / baseline_records;
    };
    baseline_run();
    std::vector<double> baseline, converter, floor, linux_converter;
    long peak_kib = 0;
    for (int r = 0; r < runs; ++r) {
        baseline.push_back(baseline_run());
        const measurement m = run(measured, program_run(measured, input, output), output);
        converter.push_back(m.seconds);
        peak_kib = std::max(peak_kib, m.peak_kib);
        floor.push_back(
            run(measured,
                {measured.bench_programs, "copy", input, output, std::to_string(output_size)},
                output)
                .seconds);
        if (windows)
            linux_converter.push_back(
                run(native, program_run(native, input, output), output).seconds);
    }
    std::remove((dir + "/" + output).c_str());
    std::remove((dir + "/datalog_bench_console.txt").c_str());
    if (windows) std::system(WINESERVER " --kill");

    const double b = median(baseline), c = median(converter), f = median(floor);
    std::printf(
        "workload: %lu records x 16 values, %.1f MB in, %.1f MB out; median of %d runs%s\n\n",
        records, file_size(dir + "/" + input) / 1e6, output_size / 1e6, runs,
        overwrite ? ", each overwriting the last output" : ", each to a new output file");
    std::printf("%s programs%s; RARedir formats values with the %s path%s, %s\n\n",
                measured.name.c_str(), windows ? " under Wine" : "", datalog::value_path_name(path),
                path != datalog::active_value_path() ? " (held there by --path)"
                                                     : ", the fastest this processor runs",
                threads == "auto" ? "on as many threads as it chooses"
                                  : ("held to " + threads + " thread(s) by --threads").c_str());
    std::printf("| run                  | wall time |\n|---|---|\n");
    std::printf("| stdio baseline       | %7.3f s |%s\n", b,
                baseline_records < records ? " (10,000 records' time, scaled)" : "");
    std::printf("| RARedir              | %7.3f s |\n", c);
    std::printf("| copy floor           | %7.3f s |\n", f);
    if (windows) std::printf("| RARedir on Linux     | %7.3f s |\n", median(linux_converter));
    const char* floor_target = !windows                                      ? "<= 2x"
                               : held && path == datalog::value_path::scalar ? "<= 2.5x"
                                                                             : "<= 1.5x";
    std::printf("\n| measure                     | value   | target |\n|---|---|---|\n");
    std::printf("| baseline / RARedir          | %5.2fx  | >= 6x  |\n", b / c);
    std::printf("| RARedir / copy floor        | %5.2fx  | %s |\n", c / f, floor_target);
    if (windows)
        std::printf("| Windows / Linux program     | %5.2fx  | <= 2x (largest datalog) |\n",
                    c / median(linux_converter));
    std::printf("| RARedir peak resident memory| %5.1f MB | < 16 MB |\n", peak_kib / 1024.0);
    return 0;
}
