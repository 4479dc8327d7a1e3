// A datalog path given alone, as when a file is dropped onto the program, is
// converted into a ".txt" file beside it.
#pragma once

#include <string>
#include <string_view>

namespace app {

struct dropped_file_choice {
    enum class outcome {
        // Both paths chosen from the dropped path; go on to open the files.
        convert,
        // An existing path that is no datalog name, without both options:
        // "Invalid datalog file\n", exit status 0.
        reject,
        // Not a dropped file: the option checks go on with the paths unchanged.
        pass_on,
    };
    outcome result = outcome::pass_on;
    std::string input;
    std::string output;
};

// `path` with everything from its last '.' replaced by ".txt" (even where that
// '.' lies in a directory name); ".txt" is appended to a path without a '.'.
std::string derived_output_name(std::string_view path);

// The dropped-file test on the option scan's stop argument (null: none).
dropped_file_choice test_dropped_file(const char* stop_argument, bool both_paths_given);

}  // namespace app
