#include "app/utf16_text.h"

namespace app {
namespace {

bool is_high_surrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool is_low_surrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

void append_code_point(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The code point whose sequence starts at narrow[*at], moving *at past it;
// false for a sequence no code point gives in its shortest form.
bool next_code_point(std::string_view narrow, std::size_t* at, char32_t* c) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(narrow[i]); };
    const unsigned lead = byte(*at);
    std::size_t length = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        *c = lead;
        ++*at;
        return true;
    } else if (lead >= 0xC0 && lead < 0xE0) {
        length = 2, least = 0x80, *c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        length = 3, least = 0x800, *c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        length = 4, least = 0x10000, *c = lead & 0x07;
    } else {
        return false;
    }
    if (narrow.size() - *at < length) return false;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(*at + i) & 0xC0) != 0x80) return false;
        *c = (*c << 6) | (byte(*at + i) & 0x3F);
    }
    *at += length;
    return *c >= least && *c <= 0x10FFFF;
}

}  // namespace

std::string narrow_text(std::u16string_view wide) {
    std::string narrow;
    narrow.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t c = wide[i];
        if (is_high_surrogate(c) && i + 1 < wide.size() && is_low_surrogate(wide[i + 1]))
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
        append_code_point(c, narrow);  // an unpaired surrogate as itself
    }
    return narrow;
}

bool wide_text(std::string_view narrow, std::u16string* wide) {
    wide->clear();
    wide->reserve(narrow.size());
    bool after_high = false;  // the last code point was an unpaired high surrogate
    for (std::size_t at = 0; at < narrow.size();) {
        char32_t c = 0;
        if (!next_code_point(narrow, &at, &c)) return false;
        // A pair is written as one code point: two surrogates that would make
        // one are no spelling of a UTF-16 text.
        if (after_high && is_low_surrogate(c)) return false;
        after_high = is_high_surrogate(c);
        if (c >= 0x10000) {
            wide->push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            wide->push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            wide->push_back(static_cast<char16_t>(c));
        }
    }
    return true;
}

}  // namespace app
