// The option scan over the program's arguments.
#pragma once

#include <optional>
#include <string>

namespace app {

struct option_scan {
    enum class outcome { paths, help, invalid };
    outcome result = outcome::paths;
    // The option letter of an invalid option: its second character (with the
    // bytes that continue it where it is a UTF-8 sequence), or a zero byte for
    // a lone "-".
    std::string invalid_letter;
    // Absent until -i or -o gives one; "-i" alone gives an empty path.
    std::optional<std::string> input;
    std::optional<std::string> output;
    // The argument the dropped-file test looks at: the first that does not begin
    // with '-', else the last argument, else the program's own path (argv[0]);
    // null only when the system passed no arguments at all.
    const char* stop_argument = nullptr;
    // The scan stopped at an argument that does not begin with '-'.
    bool arguments_left = false;
};

// Scans argv[1...] in order: -iNAME and -oNAME set the paths (a later one
// replaces an earlier one), -? and -h ask for help, any other argument that
// begins with '-' is invalid (help and invalid end the scan where they stand),
// and the first argument that does not begin with '-' stops it.
option_scan scan_options(int argc, const char* const* argv);

}  // namespace app
