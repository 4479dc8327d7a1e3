#include "datalog/text_mode.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "conversion_helpers.h"
#include "datalog/datalog_format.h"
#include "datalog_writer.h"
#include "text_mode_view.h"

namespace {

struct fold_case {
    std::string bytes;
    bool at_end;
    std::string text;
    bool held_cr, ended;
};

TEST(TextMode, FoldsAsWindowsTextModeReads) {
    const fold_case cases[] = {
        {"", false, "", false, false},
        {"0123456789ABCDEF01", false, "0123456789ABCDEF01", false, false},
        {"20\r\n080000", false, "20\n080000", false, false},
        {"2008\r000", false, "2008\r000", false, false},     // a lone CR inside a value
        {"A\r\r\nB", false, "A\r\nB", false, false},         // CR CR LF
        {"A\n\rB\r", true, "A\n\rB\r", false, false},        // CR at the end of the file
        {"0123456789\r", false, "0123456789", true, false},  // ... of a chunk: held
        {"\r", false, "", true, false},
        {"A\r\x1A"
         "B",
         false, "A\r", false, true},  // 0x1A right after a CR
        {"AB\x1A\r\nCD", false, "AB", false, true},
        {"\x1A", true, "", false, true},
    };
    for (const fold_case& c : cases) {
        std::string bytes = c.bytes;
        const datalog::folded_text folded =
            datalog::fold_text_mode(bytes.data(), bytes.size(), c.at_end);
        EXPECT_EQ(bytes.substr(0, folded.length), c.text) << testing::PrintToString(c.bytes);
        EXPECT_EQ(folded.held_cr, c.held_cr) << testing::PrintToString(c.bytes);
        EXPECT_EQ(folded.ended, c.ended) << testing::PrintToString(c.bytes);
    }
}

// The search, 32 bytes a step, must find a CR or 0x1A at every place in a
// step, next to every other byte, however far apart they are.
TEST(TextMode, RandomBytesFoldAsTheByteByByteReference) {
    std::mt19937 rng(15);
    const char alphabet[] = {'0', 'F', '\r', '\n', '\x1A', '\x8D', '\x0C', '\x9A'};
    for (int round = 0; round < 20000; ++round) {
        std::string bytes(rng() % 100, '0');
        const unsigned sparseness = 1 + rng() % 60;
        for (char& c : bytes) c = rng() % sparseness == 0 ? alphabet[rng() % 8] : 'A';
        std::string folded = bytes;
        const datalog::folded_text f = datalog::fold_text_mode(folded.data(), folded.size(), true);
        ASSERT_EQ(folded.substr(0, f.length), text_mode_view(bytes))
            << testing::PrintToString(bytes);
    }
}

// The whole conversion in Windows' text mode: a CR LF pair inside a record
// reads as one character, so the records after it shift; the result is the
// conversion of the text-mode view, with CR LF line ends on every stream.
TEST(TextMode, ConversionReadsTheTextModeViewAndWritesCrLf) {
    const datalog_writer::header_fields h{0, 2, 8};
    std::string bytes = datalog_writer::datalog(h, {{1.0, -0.25}, {1.03125, 12344.5}, {2.0, 3.0}});
    bytes.insert(1152 + 16 + 3, "\r\n");  // inside record 2
    bytes.insert(1152 + 16 + 9, "\r");    // a lone CR
    bytes.replace(1000, 2, "\r\x1A");     // before byte 1024: skipped by position
    const std::string view = bytes.substr(0, 1024) + text_mode_view(bytes.substr(1024));
    const conversion plain = run_conversion(view);
    const conversion windows = run_conversion(bytes, -1, datalog::text_mode::windows);
    // Every line written ends with CR LF: the records, the progress, the
    // summary and the report.
    EXPECT_EQ(windows.text, with_crlf(plain.text));
    EXPECT_EQ(windows.status, plain.status);
    EXPECT_EQ(windows.out, with_crlf(plain.out));
    EXPECT_EQ(windows.err, with_crlf(plain.err));
}

// The bytes that fold, at every place of a datalog small enough to sweep whole
// (the header block, every record, the end marker, the file's end), in every
// way the tests share a conversion out: every place where a read ends (the
// header's, each batch's, the file's) meets each of them. The conversion in
// Windows' text mode gives what the text-mode view converts to, with CR LF
// line ends.
TEST(TextMode, FoldingBytesAtEveryPlaceConvertAsTheTextModeView) {
    const datalog_writer::header_fields h{0, 1, 4};
    const std::string bytes =
        datalog_writer::datalog(h, {{1.0}, {-0.25}, {1.03125}, {12344.5}, {2.0}});
    const std::string folding[] = {"\r\n", "\r\r\n", "\r\x1A", "\r", "\r\r"};
    for (std::size_t at = datalog::header_offset; at <= bytes.size(); ++at) {
        for (const std::string& fold : folding) {
            for (const bool last : {false, true}) {
                const std::string content =
                    bytes.substr(0, at) + fold + (last ? "" : bytes.substr(at));
                const std::string view = content.substr(0, datalog::header_offset) +
                                         text_mode_view(content.substr(datalog::header_offset));
                const conversion plain = run_conversion(view);
                for (const datalog::pipeline_shape& shape : tested_pipeline_shapes()) {
                    const scoped_pipeline_shape held(shape);
                    const conversion windows =
                        run_conversion(content, -1, datalog::text_mode::windows);
                    const std::string name = testing::PrintToString(fold) + " at " +
                                             std::to_string(at) + (last ? ", last" : "") + ", " +
                                             shape_name(shape);
                    ASSERT_EQ(windows.status, plain.status) << name;
                    ASSERT_EQ(windows.text, with_crlf(plain.text)) << name;
                    ASSERT_EQ(windows.out, with_crlf(plain.out)) << name;
                    ASSERT_EQ(windows.err, with_crlf(plain.err)) << name;
                }
            }
        }
    }
}

}  // namespace
