#include "program_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

struct run_setup {
    std::string argv0;
    bool merged = false;
    int closed = 0;            // bit k: descriptor k closed
    int input = -1;            // standard input, when not /dev/null
    int output = -1;           // standard output, when not a file
    int error = -1;            // the error stream, when not a file
    bool reader_gone = false;  // standard output: a pipe nobody reads any more
    pid_t* started = nullptr;  // set: return once started, with the process here
    std::string beside;        // a program beside the tested one, run in its place
    int seconds = 0;           // a time limit, where not 0
};

program_result run_once(const std::string& folder, const std::vector<std::string>& args,
                        const run_setup& setup) {
    const std::string& argv0 = setup.argv0;
    const bool merged = setup.merged;
    const std::string program = environment("RAREDIR_PROGRAM");
    if (program.empty()) throw std::runtime_error("RAREDIR_PROGRAM is not set");
    const std::string runner = environment("RAREDIR_WINE");

    const std::string folder_of_program = program.substr(0, program.rfind('/') + 1);
    std::vector<std::string> words;
    if (!runner.empty()) words.push_back(runner);
    // Under Wine a closed descriptor is no missing standard handle (Wine's own
    // files take its number, and the program is handed those): a Windows helper
    // starts the program without the handles instead, as a window would.
    const bool helper = !runner.empty() && setup.closed != 0;
    if (helper) {
        words.push_back(folder_of_program + "start_without_handles.exe");
        words.push_back(std::to_string(setup.closed));
    }
    const std::string launched =
        setup.beside.empty() ? program
                             : folder_of_program + setup.beside + (runner.empty() ? "" : ".exe");
    words.push_back(!argv0.empty() && runner.empty() ? argv0 : launched);
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    const std::string out_path = folder + ".stdout", err_path = folder + ".stderr";
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.c_str()) != 0) _exit(126);
        // As a shell starts a program, whatever the test ignores.
        signal(SIGPIPE, SIG_DFL);
        signal(SIGXFSZ, SIG_DFL);
        const int in = setup.input >= 0 ? setup.input : open("/dev/null", O_RDONLY);
        int out = setup.output >= 0 ? setup.output
                                    : open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int ends[2];
        if (setup.reader_gone && pipe(ends) == 0) {
            close(ends[0]);
            close(out);
            out = ends[1];
        }
        const int err = setup.error >= 0 ? setup.error
                        : merged         ? out
                                 : open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        for (const int spare : {in, out, err})
            if (spare > 2) close(spare);
        for (int descriptor = 0; descriptor <= 2; ++descriptor)
            if (!helper && (setup.closed & (1 << descriptor))) close(descriptor);
        if (!runner.empty()) {
            setenv("WINEDEBUG", "-all", 1);
            setenv("WINEPREFIX", wine_prefix().c_str(), 1);
            setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 0);  // no Mono or Gecko prompts
            // Wine reads the Unix arguments in the locale's character set: the
            // tests pass names in UTF-8.
            setenv("LC_ALL", "C.UTF-8", 1);
            // As Debian's wine script does when it starts the 64-bit loader.
            if (runner.size() > 2 && runner.compare(runner.size() - 2, 2, "64") == 0)
                setenv("WINELOADER", runner.c_str(), 1);
        }
        execv(runner.empty() ? launched.c_str() : runner.c_str(), argv.data());
        _exit(127);
    }
    if (setup.started != nullptr) {
        *setup.started = child;
        return {};
    }
    // Waited for without reaping it first, so that what it read can be asked.
    bool timed_out = false;
    siginfo_t exited{};
    for (int tenths = 0;; ++tenths) {
        const int hang = setup.seconds != 0 ? WNOHANG : 0;
        exited.si_pid = 0;
        if (waitid(P_PID, child, &exited, WEXITED | WNOWAIT | hang) != 0 || exited.si_pid != 0)
            break;
        if (tenths == 10 * setup.seconds) {
            kill(child, SIGKILL);
            timed_out = true;
            break;
        }
        usleep(100000);
    }
    program_result result;
    std::ifstream io("/proc/" + std::to_string(child) + "/io");
    for (std::string field; io >> field;)
        if (field == "rchar:") io >> result.bytes_read;
    int wait_status = 0;
    waitpid(child, &wait_status, 0);
    result.status = timed_out                ? timed_out_status
                    : WIFEXITED(wait_status) ? WEXITSTATUS(wait_status)
                                             : -1;
    result.out = read_file(out_path);
    result.err = merged ? "" : read_file(err_path);
    std::remove(out_path.c_str());
    std::remove(err_path.c_str());
    return result;
}

// The program's first act is its banner on the error stream. Wine ends a
// process with status 1 before that, and under WINEDEBUG=-all without a word,
// when it cannot set the process up (map its shared user data page, for one),
// and CI has seen such runs now and then. A run with its streams on files
// that ends with status 1 having written nothing never reached the program:
// it is run again, at most twice, and the test's own error stream says so. A
// program that ends so by itself does so every time, and the last run shows it.
program_result run(const std::string& folder, const std::vector<std::string>& args,
                   const run_setup& setup) {
    const bool plain = !program_runs_natively() && setup.started == nullptr && setup.closed == 0 &&
                       setup.input < 0 && setup.output < 0 && setup.error < 0 && !setup.reader_gone;
    program_result result = run_once(folder, args, setup);
    for (int again = 0;
         again < 2 && plain && result.status == 1 && result.out.empty() && result.err.empty();
         ++again) {
        std::fprintf(stderr,
                     "Wine ended a run with status 1 before the program wrote a byte: "
                     "running it again\n");
        result = run_once(folder, args, setup);
    }
    return result;
}

}  // namespace

std::string wine_prefix() {
    const std::string chosen = environment("WINEPREFIX");
    if (!chosen.empty()) return chosen;
    const std::string program = environment("RAREDIR_PROGRAM");
    return program.substr(0, program.rfind('/') + 1) + "wineprefix";
}

bool program_runs_natively() {
    return environment("RAREDIR_WINE").empty();
}

bool program_writes_crlf() {
    return !program_runs_natively();
}

program_result run_program(const std::string& folder, const std::vector<std::string>& args,
                           const std::string& argv0) {
    run_setup setup;
    setup.argv0 = argv0;
    return run(folder, args, setup);
}

program_result run_beside_program(const std::string& folder, const std::string& name,
                                  const std::vector<std::string>& args, int seconds) {
    run_setup setup;
    setup.beside = name;
    setup.seconds = seconds;
    return run(folder, args, setup);
}

program_result run_program_output_discarded(const std::string& folder,
                                            const std::vector<std::string>& args) {
    const int null_device = open("/dev/null", O_WRONLY);
    run_setup setup;
    setup.output = null_device;
    program_result result = run(folder, args, setup);
    close(null_device);
    return result;
}

program_result run_program_merged(const std::string& folder, const std::vector<std::string>& args) {
    run_setup setup;
    setup.merged = true;
    return run(folder, args, setup);
}

std::vector<waiting_result> run_programs_waiting(
    const std::string& folder, const std::vector<std::vector<std::string>>& runs) {
    struct started {
        pid_t child = -1;
        int pipe_ends[2] = {-1, -1};
    };
    std::vector<started> all(runs.size());
    for (std::size_t i = 0; i < runs.size(); ++i) {
        // Close-on-exec: the program gets only the read end, as its standard input.
        if (pipe2(all[i].pipe_ends, O_CLOEXEC) != 0) continue;
        run_setup setup;
        setup.input = all[i].pipe_ends[0];
        setup.started = &all[i].child;
        run(folder, runs[i], setup);
    }
    // Long enough for every program to reach its wait, under Wine too.
    usleep(program_runs_natively() ? 300000 : 2000000);
    std::vector<waiting_result> results(runs.size());
    for (std::size_t i = 0; i < runs.size(); ++i) {
        waiting_result& result = results[i];
        int wait_status = 0;
        result.waited = all[i].child > 0 && waitpid(all[i].child, &wait_status, WNOHANG) == 0;
        if (write(all[i].pipe_ends[1], "xy", 2) != 2) result.waited = false;
        close(all[i].pipe_ends[1]);
        if (result.waited) waitpid(all[i].child, &wait_status, 0);
        result.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
        char left[2];
        const ssize_t got = read(all[i].pipe_ends[0], left, sizeof left);
        result.characters_left = got < 0 ? 0 : got;
        close(all[i].pipe_ends[0]);
    }
    std::remove((folder + ".stdout").c_str());
    std::remove((folder + ".stderr").c_str());
    return results;
}

terminal_result run_program_on_terminal(const std::string& folder,
                                        const std::vector<std::string>& args, int descriptor) {
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0) return {};
    const int screen = open(ptsname(terminal), O_RDWR | O_NOCTTY | O_CLOEXEC);
    run_setup setup;
    (descriptor == 1 ? setup.output : setup.error) = screen;
    pid_t child = -1;
    setup.started = &child;
    run(folder, args, setup);
    close(screen);
    // Read until the program and whatever it started have let the terminal go
    // (a read then fails), or nothing has come for five seconds.
    std::string shown;
    for (;;) {
        pollfd ready{terminal, POLLIN, 0};
        if (poll(&ready, 1, 5000) <= 0) break;
        char buffer[4096];
        const ssize_t got = read(terminal, buffer, sizeof buffer);
        if (got <= 0) break;
        shown.append(buffer, static_cast<std::size_t>(got));
    }
    int wait_status = 0;
    if (child > 0) waitpid(child, &wait_status, 0);
    close(terminal);
    const std::string file = folder + (descriptor == 1 ? ".stderr" : ".stdout");
    terminal_result result{shown, read_file(file)};
    std::remove(file.c_str());
    return result;
}

program_result run_program_reader_gone(const std::string& folder,
                                       const std::vector<std::string>& args) {
    run_setup setup;
    setup.reader_gone = true;
    return run(folder, args, setup);
}

program_result run_program_closed(const std::string& folder, const std::vector<std::string>& args,
                                  int closed) {
    run_setup setup;
    setup.closed = closed;
    return run(folder, args, setup);
}

std::string program_path(const std::string& path) {
    if (program_runs_natively()) return path;
    std::string windows = "Z:" + path;
    for (char& c : windows)
        if (c == '/') c = '\\';
    return windows;
}

std::string make_temp_folder() {
    std::string pattern = "/tmp/raredir_e2e_XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    return pattern;
}

std::string read_file(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool file_exists(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0;
}
