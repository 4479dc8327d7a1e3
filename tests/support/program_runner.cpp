#include "program_runner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

std::string fold_crlf(std::string text) {
    std::string folded;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) folded += text[i];
    return folded;
}

program_result run(const std::string& folder, const std::vector<std::string>& args,
                   const std::string& argv0, bool merged) {
    const std::string program = environment("RAREDIR_PROGRAM");
    if (program.empty()) throw std::runtime_error("RAREDIR_PROGRAM is not set");
    const std::string runner = environment("RAREDIR_WINE");
    const std::string prefix = program.substr(0, program.rfind('/') + 1) + "wineprefix";

    std::vector<std::string> words;
    if (!runner.empty()) words.push_back(runner);
    words.push_back(!argv0.empty() && runner.empty() ? argv0 : program);
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    const std::string out_path = folder + ".stdout", err_path = folder + ".stderr";
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.c_str()) != 0) _exit(126);
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = merged ? out : open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (!runner.empty()) {
            setenv("WINEDEBUG", "-all", 1);
            setenv("WINEPREFIX", prefix.c_str(), 0);
            setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 0);  // no Mono or Gecko prompts
            // As Debian's wine script does when it starts the 64-bit loader.
            if (runner.size() > 2 && runner.compare(runner.size() - 2, 2, "64") == 0)
                setenv("WINELOADER", runner.c_str(), 1);
        }
        execv(runner.empty() ? program.c_str() : runner.c_str(), argv.data());
        _exit(127);
    }
    int wait_status = 0;
    waitpid(child, &wait_status, 0);
    program_result result;
    result.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
    result.out = fold_crlf(read_file(out_path));
    result.err = merged ? "" : fold_crlf(read_file(err_path));
    std::remove(out_path.c_str());
    std::remove(err_path.c_str());
    return result;
}

}  // namespace

bool program_runs_natively() {
    return environment("RAREDIR_WINE").empty();
}

bool program_writes_crlf() {
    return !program_runs_natively();
}

program_result run_program(const std::string& folder, const std::vector<std::string>& args,
                           const std::string& argv0) {
    return run(folder, args, argv0, false);
}

program_result run_program_merged(const std::string& folder, const std::vector<std::string>& args) {
    return run(folder, args, "", true);
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
