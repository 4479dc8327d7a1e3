#include "datalog/record_line.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <string>

namespace {

using datalog::text_mode;

std::string line_of(const datalog::record_number& number, text_mode mode = text_mode::bytes) {
    char out[datalog::record_line_capacity];
    return std::string(
        out, datalog::format_record_line(
                 number, "", 0, datalog::format_of(datalog::value_path::scalar), mode, out));
}

std::string progress_of(const datalog::record_number& number, text_mode mode = text_mode::bytes) {
    char out[datalog::progress_line_capacity];
    return std::string(out, datalog::format_progress_line(number, mode, out));
}

// Counts from `start` through `count` numbers, checking both texts of each
// against printf's.
long check_counting(std::uint32_t start, long count) {
    datalog::record_number number = datalog::record_number_at(start);
    long failures = 0;
    for (long i = 0; i < count; ++i) {
        datalog::advance(number);
        const std::uint32_t value = start + 1 + static_cast<std::uint32_t>(i);
        char line[32], progress[64];
        std::snprintf(line, sizeof line, "%5" PRIu32 "\n", value);
        std::snprintf(progress, sizeof progress, "Unpacking record %" PRIu32 " from .KYX file\n",
                      value);
        if ((line_of(number) != line || progress_of(number) != progress) && ++failures <= 5)
            ADD_FAILURE() << value << ": \"" << line_of(number) << "\" \"" << progress_of(number)
                          << "\"";
    }
    return failures;
}

TEST(RecordNumber, CountsAsPrintfPrintsFromOneOn) {
    EXPECT_EQ(check_counting(0, 200000), 0);
}

TEST(RecordNumber, CountsAcrossEveryNewDigitUpToTheLargest) {
    for (std::uint32_t power = 10000; power <= 1000000000u; power *= 10) {  // below: counted above
        EXPECT_EQ(check_counting(power - 1500, 3000), 0) << power;
        if (power == 1000000000u) break;
    }
    EXPECT_EQ(check_counting(4294967295u - 3000, 2999), 0);  // up to 2^32 - 1
}

// Windows' text mode ends each line with CR LF, which the conversion writes
// itself: the same text, one character longer, at every width.
TEST(RecordNumber, LinesEndWithCrLfForWindowsTextMode) {
    for (const std::uint32_t value : {1u, 99999u, 100000u, 4294967295u}) {
        const datalog::record_number number = datalog::record_number_at(value);
        std::string line = line_of(number), progress = progress_of(number);
        line.insert(line.size() - 1, "\r");
        progress.insert(progress.size() - 1, "\r");
        EXPECT_EQ(line_of(number, text_mode::windows), line) << value;
        EXPECT_EQ(progress_of(number, text_mode::windows), progress) << value;
    }
}

}  // namespace
