#include <string>
#include <vector>

#include "app/run_command_line.h"
#include "app/utf16_text.h"

// The command line as Windows holds it, in UTF-16, split by the runtime as it
// splits the narrow one (quotes, backslashes, the program's own path first),
// and handed on as narrow text (utf16_text.h): every name keeps every
// character, where the narrow command line would give a look-alike for any
// the ANSI code page lacks.
int wmain(int argc, wchar_t** argv) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16");
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(app::narrow_text(reinterpret_cast<const char16_t*>(argv[i])));
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
    pointers.push_back(nullptr);
    return app::run_command_line(argc, pointers.data());
}
