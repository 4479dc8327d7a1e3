#include "app/utf16_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

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
