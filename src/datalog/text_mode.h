// What a text line is on this system, in one place. The files and the console
// streams are opened as the bytes they are (the platform files, once); the
// text mode the system's C runtime would apply is then done here, by the
// program, over those bytes:
// - text_mode::bytes (POSIX): a line ends with LF, and input is read as it is;
// - text_mode::windows: a line ends with CR LF, and input is read as Windows'
//   text mode reads it, a CR LF pair as LF and a byte 0x1A as the end.
// The program asks the system once, where it starts (app/platform_files.h),
// and hands the value down with the streams: to the converter, for the record
// and progress lines (record_line.h), the header report and summary
// (write_text, print_text) and the input's reader, which folds what each read
// brings (text_reader.h, holding a last CR until its next byte is read); and
// to the console messages (app/console_text.h). Every line end
// written comes from line_end below.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>

namespace datalog {

enum class text_mode { bytes, windows };

// The characters that end a line.
constexpr std::string_view line_end(text_mode mode) {
    return mode == text_mode::windows ? std::string_view("\r\n") : std::string_view("\n");
}

// Writes `text` to the stream with each '\n' ending a line as `mode` does.
void write_text(std::FILE* stream, text_mode mode, std::string_view text);

// printf's text for `format`, written as write_text does.
#if defined(__GNUC__)
__attribute__((format(printf, 3, 4)))
#endif
void print_text(std::FILE* stream, text_mode mode, const char* format, ...);

struct folded_text {
    std::size_t length;  // characters delivered, at the start of the bytes
    bool held_cr;        // the last byte is a CR left out: it needs the next byte
    bool ended;          // a byte 0x1A ends the input: nothing after it counts
};

// Folds `size` bytes in place into what Windows' text mode delivers for them:
// a CR LF pair gives LF, a byte 0x1A ends the input, any other byte (a lone CR
// too) is itself. A CR as the last byte is delivered as it is when `at_end`
// says the input ends there, and otherwise held back for the caller to put in
// front of the next bytes. Searching once per read costs far less than the
// runtime's copy byte by byte.
folded_text fold_text_mode(char* bytes, std::size_t size, bool at_end);

}  // namespace datalog
