#include "conversion_invariants.h"

#include "reference_format.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "app/dropped_file.h"
#include "conversion_helpers.h"
#include "datalog/datalog_convert.h"
#include "datalog/datalog_format.h"
#include "text_mode_view.h"

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// "+d.ddddE+dd" at `text`: its length, or 0.
std::size_t value_length(std::string_view text) {
    if (text.size() < 11 || (text[0] != '+' && text[0] != '-') || !is_digit(text[1]) ||
        text[2] != '.' || text[7] != 'E' || (text[8] != '+' && text[8] != '-'))
        return 0;
    for (const int i : {3, 4, 5, 6, 9, 10})
        if (!is_digit(text[i])) return 0;
    return 11;
}

// Checks one record line: number `n` right-aligned in five characters, then
// `values` values each after ", ".
bool line_is_well_formed(std::string_view line, unsigned long n, unsigned values) {
    const std::string number = reference_record_number(n);
    if (line.substr(0, number.size()) != number) return false;
    line.remove_prefix(number.size());
    for (unsigned k = 0; k < values; ++k) {
        if (line.substr(0, 2) != ", ") return false;
        line.remove_prefix(2);
        const std::size_t length = value_length(line);
        if (length == 0) return false;
        line.remove_prefix(length);
    }
    return line.empty();
}

}  // namespace

std::string check_conversion_invariants(const std::uint8_t* data, std::size_t size) {
    std::FILE* input = std::tmpfile();
    std::FILE* output = std::tmpfile();
    std::FILE* progress = std::tmpfile();
    std::FILE* report = std::tmpfile();
    if (size != 0) std::fwrite(data, 1, size, input);
    std::rewind(input);
    const datalog::conversion_result status =
        datalog::convert_datalog(input, output, datalog::text_mode::bytes, progress, report);
    const std::string text = read_all(output), out = read_all(progress);
    for (std::FILE* file : {input, output, progress, report}) std::fclose(file);

    if (status == datalog::conversion_result::input_read_failed) return "reported a failed read";
    if (status == datalog::conversion_result::invalid_datalog)
        return text.empty() && out.empty() ? "" : "a rejected file wrote records";
    if (text.size() > 8 * size + 64) return "output not bounded by the input";

    const datalog::datalog_header header =
        datalog::decode_header(reinterpret_cast<const char*>(data) + 1024);
    unsigned long lines = 0;
    std::size_t at = 0, progress_at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string::npos) return "last line unterminated";
        ++lines;
        if (!line_is_well_formed(std::string_view(text).substr(at, end - at), lines,
                                 header.values_per_record))
            return "malformed line " + std::to_string(lines);
        const std::string expected = progress_line(lines);
        if (out.compare(progress_at, expected.size(), expected) != 0)
            return "progress line " + std::to_string(lines) + " missing";
        progress_at += expected.size();
        at = end + 1;
    }
    if (out.substr(progress_at) != summary(lines))
        return "summary does not count the " + std::to_string(lines) + " lines";
    return "";
}

std::string check_text_mode_invariants(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t skipped = std::min<std::size_t>(size, datalog::header_offset);
    const conversion plain =
        run_conversion(bytes.substr(0, skipped) + text_mode_view(bytes.substr(skipped)));
    const conversion windows = run_conversion(bytes, -1, datalog::text_mode::windows);
    if (windows.status != plain.status) return "text mode: another status";
    if (windows.text != with_crlf(plain.text)) return "text mode: another text";
    if (windows.out != with_crlf(plain.out)) return "text mode: another standard output";
    if (windows.err != with_crlf(plain.err)) return "text mode: another error stream";
    return "";
}

std::string check_derived_name_invariants(const std::uint8_t* data, std::size_t size) {
    const std::string path(reinterpret_cast<const char*>(data), size);
    const std::string name = app::derived_output_name(path);
    // The name is a beginning of the path and ".txt"; what it leaves of the
    // path is nothing, or one extension: a '.' and no further '.'.
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".txt") != 0)
        return "derived name does not end in .txt";
    const std::string stem = name.substr(0, name.size() - 4);
    if (path.compare(0, stem.size(), stem) != 0) return "derived name does not begin as the path";
    const std::string rest = path.substr(stem.size());
    if (!rest.empty() && (rest[0] != '.' || rest.find('.', 1) != std::string::npos))
        return "derived name does not replace exactly the last extension";
    return "";
}
