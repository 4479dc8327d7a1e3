// Runs the built program as a user would: in a folder of its own, with
// standard input from /dev/null, capturing both console streams.
//
// RAREDIR_PROGRAM names the program. When RAREDIR_WINE names a Wine loader
// (/usr/lib/wine/wine for the 32-bit Windows program, /usr/lib/wine/wine64
// for the 64-bit one), the program runs under it, with WINEDEBUG=-all and,
// unless WINEPREFIX is set, the prefix "wineprefix" beside the program.
// Console streams are returned as the bytes the program wrote: their lines
// end with CR LF from the Windows program (e2e::as_written).
#pragma once

#include <string>
#include <vector>

struct program_result {
    int status = -1;
    std::string out;
    std::string err;
    long long bytes_read = -1;  // by the process, all it read (Wine's own reading included)
};

// True when the program runs natively (not under Wine), so that argv[0] can be set.
bool program_runs_natively();

// The Wine prefix the program runs in: WINEPREFIX, else "wineprefix" beside
// the program.
std::string wine_prefix();

// True when the program writes text files with CR LF line ends.
bool program_writes_crlf();

// Runs the program in `folder` with `args`; `argv0` replaces argv[0] when
// not empty (native runs only).
program_result run_program(const std::string& folder, const std::vector<std::string>& args,
                           const std::string& argv0 = "");

// The status of a run that ran out of time and was ended.
constexpr int timed_out_status = -2;

// Runs the program `name` beside the tested one in its place (name.exe under
// Wine), ended after `seconds` (timed_out_status).
program_result run_beside_program(const std::string& folder, const std::string& name,
                                  const std::vector<std::string>& args, int seconds);

// The same with standard output sent to /dev/null, as `>/dev/null` does.
program_result run_program_output_discarded(const std::string& folder,
                                            const std::vector<std::string>& args);

// The same with standard output and the error stream sent to one file, as
// `2>&1` does; the merged text comes back in `out`.
program_result run_program_merged(const std::string& folder, const std::vector<std::string>& args);

// Runs the program without the standard streams whose bits are set in
// `closed` (bit 0: input, 1: output, 2: error): natively with those
// descriptors closed, as `<&- >&- 2>&-` do; under Wine started with no handle
// for them, as from a window or a service. A missing stream's text comes back
// empty.
program_result run_program_closed(const std::string& folder, const std::vector<std::string>& args,
                                  int closed);

// Runs the program with standard output a pipe whose reader has gone, as
// `| head -c 10` leaves it once head has read its ten bytes.
program_result run_program_reader_gone(const std::string& folder,
                                       const std::vector<std::string>& args);

// Runs the program with one console stream (`descriptor` 1 or 2) on a
// terminal of its own, as a user at a console sees it, and the other in a
// file: `shown` is all the terminal showed (with the terminal's own control
// sequences), `redirected` the bytes the file received.
struct terminal_result {
    std::string shown;
    std::string redirected;
};
terminal_result run_program_on_terminal(const std::string& folder,
                                        const std::vector<std::string>& args, int descriptor = 2);

// What a run with an open pipe as standard input shows of the final wait.
struct waiting_result {
    bool waited = false;        // still running after a pause, with nothing to read
    int status = -1;            // its exit status, once two characters were written
    long characters_left = -1;  // of those two, the ones it did not read
};

// Runs the program once for each argument list, all at once, each with a pipe
// as standard input, held open: checks that each is still running after one
// pause, then writes two characters to each and waits for it.
std::vector<waiting_result> run_programs_waiting(const std::string& folder,
                                                 const std::vector<std::vector<std::string>>& runs);

// The path under which the program itself sees `path` (an absolute Linux path):
// itself natively, "Z:\..." with backslashes under Wine.
std::string program_path(const std::string& path);

// A fresh, empty temporary folder.
std::string make_temp_folder();

std::string read_file(const std::string& path);
bool file_exists(const std::string& path);
