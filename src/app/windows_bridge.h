// What the Windows platform files share: a descriptor's handle, and the
// bridge between Windows' wide characters and the program's narrow names
// (utf16_text.h). Windows only; included by the *-win32.cpp files alone.
#pragma once

#include <io.h>
#include <windows.h>

#include <string>
#include <string_view>

#include "app/utf16_text.h"

namespace app {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16");

inline HANDLE handle_of(int descriptor) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
}

inline const wchar_t* as_wchar(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline std::string narrow_of(const wchar_t* text) {
    return narrow_text(reinterpret_cast<const char16_t*>(text));
}

// The name Windows holds for the path; false where no name is spelled so, and
// nothing may be opened.
inline bool windows_name(std::string_view path, std::wstring* name) {
    std::u16string wide;
    if (!wide_text(path, &wide)) return false;
    name->assign(as_wchar(wide), wide.size());
    return true;
}

}  // namespace app
