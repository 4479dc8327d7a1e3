#include "app/utf16_text.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>
#include <string_view>

namespace {

// `c` in `length` UTF-8 bytes from the encoding's definition, the last byte
// first: six bits in each continuation byte, the rest behind the lead byte's
// length marker. With more bytes than `c` needs, an overlong form.
std::string utf8_form(char32_t c, int length) {
    const unsigned char marker[] = {0, 0x00, 0xC0, 0xE0, 0xF0};
    std::string bytes(static_cast<std::size_t>(length), '\0');
    for (int i = length - 1; i > 0; --i, c >>= 6) bytes[i] = static_cast<char>(0x80 + c % 64);
    bytes[0] = static_cast<char>(marker[length] + c);
    return bytes;
}

// The shortest form; a lone surrogate takes the form its code point would
// have (as WTF-8 does).
std::string reference_narrow(char32_t c) {
    return utf8_form(c, c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4);
}

std::u16string reference_wide(char32_t c) {
    if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
    c -= 0x10000;
    return {static_cast<char16_t>(0xD800 + c / 1024), static_cast<char16_t>(0xDC00 + c % 1024)};
}

bool is_surrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// The reference agrees with the C library's converter on every code point
// that is no surrogate.
TEST(Utf16Text, TheReferenceAgreesWithTheCLibrary) {
    const iconv_t to_utf8 = iconv_open("UTF-8", "UTF-32LE");
    ASSERT_NE(to_utf8, reinterpret_cast<iconv_t>(-1));
    long differences = 0;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (is_surrogate(c)) continue;
        char in[4] = {static_cast<char>(c), static_cast<char>(c >> 8), static_cast<char>(c >> 16),
                      0};
        char out[8];
        char* from = in;
        char* to = out;
        std::size_t in_left = 4, out_left = sizeof out;
        iconv(to_utf8, &from, &in_left, &to, &out_left);
        if (std::string(out, to) != reference_narrow(c) && ++differences <= 5)
            ADD_FAILURE() << std::hex << "U+" << static_cast<unsigned long>(c);
    }
    iconv_close(to_utf8);
    EXPECT_EQ(differences, 0);
}

// Every code point, lone surrogates included, alone and between neighbours of
// each length (ASCII, two UTF-8 bytes, a surrogate pair): the narrow form is
// the reference's bytes, and each form gives back the other.
TEST(Utf16Text, EveryCodePointRoundTripsBetweenNeighbours) {
    const char32_t neighbours[] = {0, U'a', U'\u00e9', U'\U0001F600'};
    long failures = 0;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        for (const char32_t n : neighbours) {
            const std::u16string around = n != 0 ? reference_wide(n) : u"";
            const std::string narrow_around = n != 0 ? reference_narrow(n) : "";
            const std::u16string wide = around + reference_wide(c) + around;
            const std::string narrow = narrow_around + reference_narrow(c) + narrow_around;
            std::u16string back;
            const bool ok =
                app::narrow_text(wide) == narrow && app::wide_text(narrow, &back) && back == wide;
            if (!ok && ++failures <= 5)
                ADD_FAILURE() << std::hex << "U+" << static_cast<unsigned long>(c) << " beside U+"
                              << static_cast<unsigned long>(n);
        }
    }
    EXPECT_EQ(failures, 0);
}

// Every byte string that spells no UTF-16 text, in each way it can fail, is
// refused, alone and inside a name.
TEST(Utf16Text, EveryInvalidNarrowFormIsRefused) {
    long tried = 0, accepted = 0;
    // The form alone is a view into longer text, so that a conversion reading
    // past the form's end sees more bytes, not a terminating zero.
    const auto refused = [&](std::string_view form) {
        const std::string inside = "a" + std::string(form) + "b";
        for (const std::string_view name : {form, std::string_view(inside)}) {
            std::u16string wide;
            ++tried;
            if (app::wide_text(name, &wide) && ++accepted <= 5)
                ADD_FAILURE() << testing::PrintToString(std::string(name));
        }
    };
    for (int length = 2; length <= 4; ++length) {  // each overlong form at each length
        const char32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
        for (char32_t c = 0; c < shortest[length]; ++c) refused(utf8_form(c, length));
    }
    for (int byte = 0x80; byte <= 0xBF; ++byte) refused(std::string(1, static_cast<char>(byte)));
    for (int lead = 0xF5; lead <= 0xFF; ++lead)
        refused(std::string(1, static_cast<char>(lead)) + "\x80\x80\x80");
    for (char32_t c = 0x80; c <= 0x10FFFF; ++c) {  // cut short
        const std::string whole = reference_narrow(c);
        for (std::size_t cut = 1; cut < whole.size(); ++cut)
            refused(std::string_view(whole).substr(0, cut));
    }
    for (char32_t c = 0x110000; c <= 0x1FFFFF; ++c) refused(utf8_form(c, 4));
    for (char32_t high = 0xD800; high <= 0xDBFF; ++high)  // a pair as two surrogates
        for (char32_t low = 0xDC00; low <= 0xDFFF; low += high % 64 == 0 ? 1 : 61)
            refused(reference_narrow(high) + reference_narrow(low));
    EXPECT_EQ(accepted, 0) << "of " << tried;
}

// Every UTF-16 text, unpaired surrogates included, has one narrow spelling
// that gives it back.
TEST(Utf16Text, EveryWideTextRoundTrips) {
    const struct {
        std::u16string wide;
        std::string narrow;
    } cases[] = {
        {u"", ""},
        {u"plain.KYX", "plain.KYX"},
        {u"M\u00fcller", "M\xC3\xBCller"},
        {u"d\u0101t\u0101", "d\xC4\x81t\xC4\x81"},
        {u"\u30c7\u30fc\u30bf", "\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF"},
        {u"\U0001d11e", "\xF0\x9D\x84\x9E"},                           // a surrogate pair
        {std::u16string(1, 0xD834) + u"x", "\xED\xA0\xB4x"},           // high alone
        {u"x" + std::u16string(1, 0xDD1E), "x\xED\xB4\x9E"},           // low alone
        {std::u16string{0xDD1E, 0xD834}, "\xED\xB4\x9E\xED\xA0\xB4"},  // low, then high
        {u"\u007f\u0080\u07ff\u0800\uffff", "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"},
        // a lone high surrogate, then later a lone low one; a pair split by
        // one character; names ending in a pair and in a lone high surrogate
        {u"a" + std::u16string(1, 0xD800) + u"xy" + std::u16string(1, 0xDC00),
         "a\xED\xA0\x80xy\xED\xB0\x80"},
        {std::u16string(1, 0xD834) + u"x" + std::u16string(1, 0xDD1E), "\xED\xA0\xB4x\xED\xB4\x9E"},
        {u"log\U0001d11e", "log\xF0\x9D\x84\x9E"},
        {u"log" + std::u16string(1, 0xDBFF), "log\xED\xAF\xBF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app::narrow_text(c.wide), c.narrow) << c.narrow;
        std::u16string wide;
        EXPECT_TRUE(app::wide_text(c.narrow, &wide)) << c.narrow;
        EXPECT_EQ(wide, c.wide) << c.narrow;
    }
}

// Bytes that no UTF-16 text gives are refused, never read as something close.
TEST(Utf16Text, BytesNoWideTextGivesAreRefused) {
    for (const std::string& narrow : {
             std::string("\xFC"),                      // a Windows-1252 'ü'
             std::string("a\x80"),                     // a continuation byte alone
             std::string("\xC3"),                      // a sequence cut short
             std::string("\xC3x"),                     // ... by another character
             std::string("\xC0\xAF"),                  // an overlong '/'
             std::string("\xE0\x80\xAF"),              // ... in three bytes
             std::string("\xF4\x90\x80\x80"),          // above U+10FFFF
             std::string("\xF8\x88\x80\x80\x80"),      // a five-byte form
             std::string("\xED\xA0\xB4\xED\xB4\x9E"),  // a pair as two surrogates
         }) {
        std::u16string wide;
        EXPECT_FALSE(app::wide_text(narrow, &wide)) << testing::PrintToString(narrow);
    }
}

}  // namespace
