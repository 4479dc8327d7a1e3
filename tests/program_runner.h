// Runs the built program as a user would: in a folder of its own, with
// standard input from /dev/null, capturing both console streams.
//
// RAREDIR_PROGRAM names the program. A Windows build (a name ending in ".exe")
// runs under Wine, with WINEDEBUG=-all and, unless WINEPREFIX is set, the
// prefix "wineprefix" beside the program. Console streams are returned with
// CR LF folded to LF.
#pragma once

#include <string>
#include <vector>

struct program_result {
    int status = -1;
    std::string out;
    std::string err;
};

// True when the program runs natively (not under Wine), so that argv[0] can be set.
bool program_runs_natively();

// True when the program writes text files with CR LF line ends.
bool program_writes_crlf();

// Runs the program in `folder` with `args`; `argv0` replaces argv[0] when
// not empty (native runs only).
program_result run_program(const std::string& folder, const std::vector<std::string>& args,
                           const std::string& argv0 = "");

// A fresh, empty temporary folder.
std::string make_temp_folder();

std::string read_file(const std::string& path);
bool file_exists(const std::string& path);
