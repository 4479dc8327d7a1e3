#include <string>
#include <vector>

#include "app/run_command_line.h"
#include "app/windows_bridge.h"

// The command line as Windows holds it, in UTF-16, split by the runtime as it
// splits the narrow one (quotes, backslashes, the program's own path first),
// and handed on as narrow text (utf16_text.h): every name keeps every
// character, where the narrow command line would give a look-alike for any
// the ANSI code page lacks.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) arguments.push_back(app::narrow_of(argv[i]));
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
    pointers.push_back(nullptr);
    return app::run_command_line(argc, pointers.data());
}
