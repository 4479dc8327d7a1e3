#include "bench_runs.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "datalog/datalog_format.h"
#include "datalog_writer.h"

namespace bench {

platform linux_programs() {
    return {"Linux", RAREDIR_PATH, BENCH_PROGRAMS_PATH, ""};
}

// Outside the timing: unless overwriting, the output file the command writes
// is removed first; then everything written so far is flushed to disk, so
// that no run pays for writing back an earlier run's output.
measurement runner::run(const platform& p, std::vector<std::string> words,
                        const std::string& output) const {
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

void stop_windows() {
    std::system(WINESERVER " --kill");
}

}  // namespace bench
