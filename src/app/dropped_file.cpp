#include "app/dropped_file.h"

#include "app/platform_files.h"

namespace app {

std::string derived_output_name(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    std::string name(path.substr(0, dot == std::string_view::npos ? path.size() : dot));
    return name + ".txt";
}

dropped_file_choice test_dropped_file(const char* stop_argument, bool both_paths_given) {
    dropped_file_choice choice;
    if (stop_argument == nullptr) return choice;
    // An argument that begins with '-' was an option (every argument was): it
    // counts only where an entry has exactly its name.
    const bool exists =
        stop_argument[0] == '-' ? entry_named_exactly(stop_argument) : path_exists(stop_argument);
    if (!exists) return choice;
    const std::string_view path(stop_argument);
    if (path.find(".KYX") != std::string_view::npos) {  // case-sensitive, anywhere
        choice.result = dropped_file_choice::outcome::convert;
        choice.input = std::string(path);
        choice.output = derived_output_name(path);
    } else if (!both_paths_given) {
        choice.result = dropped_file_choice::outcome::reject;
    }
    return choice;
}

}  // namespace app
