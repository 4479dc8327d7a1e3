// short_name NAME: writes the short (8.3) name the system gives the entry
// NAME, in UTF-8 and with no line end; status 1 where it gives none. A Windows
// helper for the end-to-end tests under Wine.
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/windows_bridge.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    wchar_t name[MAX_PATH];
    const DWORD length = GetShortPathNameW(argv[1], name, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    const std::string narrow = app::narrow_of(name);
    return std::fwrite(narrow.data(), 1, narrow.size(), stdout) == narrow.size() ? 0 : 1;
}
