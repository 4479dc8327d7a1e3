// Windows keeps names and command lines in UTF-16; the program keeps them as
// narrow strings. These two conversions are the only bridge, and the Windows
// platform files the only callers, through windows_bridge.h. They are plain
// functions, tested on every platform.
//
// The narrow form is UTF-8, but for an unpaired surrogate, which Windows
// allows in a name: it takes the three bytes UTF-8 would give its code point
// (as WTF-8 does). So every name Windows can hold has exactly one narrow
// spelling, and the spelling gives back exactly that name.
#pragma once

#include <string>
#include <string_view>

namespace app {

std::string narrow_text(std::u16string_view wide);

// The UTF-16 of `narrow`; false for bytes that no UTF-16 text gives (invalid
// or overlong UTF-8, a surrogate pair written as two surrogates, code points
// above U+10FFFF), with `wide` then unspecified.
bool wide_text(std::string_view narrow, std::u16string* wide);

}  // namespace app
