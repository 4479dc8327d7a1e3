// What Windows' text-mode stream delivers for a file's bytes, byte by byte as
// its C runtime reads them: a CR LF pair gives LF, a byte 0x1A ends the text.
// The reference the conversion's own folding is checked against.
#pragma once

#include <string>

inline std::string text_mode_view(const std::string& bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size() && bytes[i] != '\x1A'; ++i)
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) text += bytes[i];
    return text;
}
