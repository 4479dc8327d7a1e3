#include <string>

#include "app/console_text.h"
#include "app/windows_bridge.h"

namespace app {
namespace {

bool is_ascii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// The text in the ANSI code page, where that holds every character of it
// exactly: never a look-alike ("best fit") or a replacement.
bool ansi_text(const std::u16string& wide, std::string* ansi) {
    if (GetACP() == CP_UTF8) return false;  // the narrow text is already that
    const wchar_t* from = as_wchar(wide);
    const int length = static_cast<int>(wide.size());
    BOOL replaced = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, from, length, nullptr, 0,
                                         nullptr, &replaced);
    if (size <= 0 || replaced) return false;
    ansi->resize(static_cast<std::size_t>(size));
    return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, from, length, &(*ansi)[0], size,
                               nullptr, &replaced) == size &&
           !replaced;
}

}  // namespace

// ASCII text, every message without a path, is written as it always was.
// A console takes the characters themselves (UTF-16); a file or a pipe takes
// what logs and callers have always read for a name the code page holds.
void write_message(std::FILE* stream, datalog::text_mode mode, std::string_view text) {
    std::u16string wide;
    if (is_ascii(text) || !wide_text(text, &wide)) return datalog::write_text(stream, mode, text);
    const HANDLE handle = handle_of(_fileno(stream));
    DWORD console_mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &console_mode) != 0) {
        std::fflush(stream);
        std::u16string lines;
        for (const char16_t c : wide) {
            if (c != u'\n') lines += c;
            for (const char end : c == u'\n' ? datalog::line_end(mode) : std::string_view())
                lines += static_cast<char16_t>(end);
        }
        DWORD written = 0;
        WriteConsoleW(handle, as_wchar(lines), static_cast<DWORD>(lines.size()), &written, nullptr);
        return;
    }
    std::string ansi;
    if (ansi_text(wide, &ansi)) return datalog::write_text(stream, mode, ansi);
    datalog::write_text(stream, mode, text);
}

}  // namespace app
