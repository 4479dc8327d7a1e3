// start_without_handles MASK PROGRAM [ARGUMENTS...]: starts PROGRAM as a
// window or a service would, with no handle for each standard stream whose bit
// is set in MASK (1: input, 2: output, 4: error); the others are this
// program's own. Waits for it and exits with its status. A Windows helper for
// the end-to-end tests under Wine.
#include <windows.h>

#include <cstdlib>

namespace {

// The command line after its first `count` words, as the system passed it.
const wchar_t* after_words(const wchar_t* line, int count) {
    for (int word = 0; word < count; ++word) {
        while (*line == L' ' || *line == L'\t') ++line;
        bool quoted = false;
        while (*line != 0 && (quoted || (*line != L' ' && *line != L'\t'))) {
            if (*line == L'"') quoted = !quoted;
            ++line;
        }
    }
    while (*line == L' ' || *line == L'\t') ++line;
    return line;
}

HANDLE inheritable(DWORD which) {
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetStdHandle(which), GetCurrentProcess(), &copy, 0, TRUE,
                    DUPLICATE_SAME_ACCESS);
    return copy;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 125;
    const int mask = std::atoi(argv[1]);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = mask & 1 ? nullptr : inheritable(STD_INPUT_HANDLE);
    start.hStdOutput = mask & 2 ? nullptr : inheritable(STD_OUTPUT_HANDLE);
    start.hStdError = mask & 4 ? nullptr : inheritable(STD_ERROR_HANDLE);
    wchar_t* command = _wcsdup(after_words(GetCommandLineW(), 2));
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start,
                        &process))
        return 126;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 127;
    GetExitCodeProcess(process.hProcess, &status);
    return static_cast<int>(status);
}
