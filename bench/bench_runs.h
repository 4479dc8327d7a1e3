// The benchmark's runs: the programs each platform runs, each run as a
// process with its time and peak memory, and the generated workload.
#pragma once

#include <string>
#include <vector>

namespace bench {

struct measurement {
    double seconds;
    long peak_kib;
};

// The programs one platform runs: the converter, the benchmark's own programs,
// and the Wine loader they run under (none on Linux).
struct platform {
    std::string name, program, bench_programs, loader;
};

platform linux_programs();

// The Windows programs of the tests' build, under its Wine prefix, with one
// Wine server kept running for all the runs (stop_windows ends it).
platform windows_programs();
void stop_windows();

// Runs commands in `dir` on the workload. Under Wine every write to a device
// goes through its server, some milliseconds each: there the console goes to a
// scratch file, and so does the Linux program's when it runs beside the
// Windows one, for a fair comparison.
struct runner {
    std::string dir;
    bool overwrite;
    bool console_to_file;

    measurement run(const platform& p, std::vector<std::string> words,
                    const std::string& output) const;
};

long long file_size(const std::string& path);

// The workload: `records` records of 16 random packed values, record length
// 64; the record count is given above 1,000,000 records.
void make_workload(const std::string& path, unsigned long records);

double median(std::vector<double> values);

}  // namespace bench
