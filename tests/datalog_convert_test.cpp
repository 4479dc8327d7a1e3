#include "datalog/datalog_convert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "datalog/batch_writer.h"
#include "datalog/record_batch.h"

#include "conversion_helpers.h"
#include "datalog_writer.h"
#include "program_runner.h"
#include "reference_format.h"
#include "value_path_texts.h"

namespace {

using datalog_writer::header_fields;

std::string progress(unsigned from, unsigned to) {
    std::string text;
    for (unsigned n = from; n <= to; ++n) text += progress_line(n);
    return text;
}

// With 2 values per phase and 3 phases per record, which the report shows.
header_fields fields(unsigned count, unsigned values, unsigned length) {
    return {count, values, length, 2, 3};
}

// Records holding 1.0 and -0.25, then k as a third value.
std::vector<std::vector<double>> rows(unsigned n) {
    std::vector<std::vector<double>> r;
    for (unsigned k = 1; k <= n; ++k) r.push_back({1.0, -0.25, double(k)});
    return r;
}

std::string line(unsigned k) {
    char third[16];
    std::snprintf(third, sizeof third, "%+.4E", double(k));  // small integers: no ties
    return reference_record_number(k) + ", +1.0000E+00, -2.5000E-01, " + third + "\n";
}

std::string lines(unsigned n) {
    std::string text;
    for (unsigned k = 1; k <= n; ++k) text += line(k);
    return text;
}

struct convert_case {
    const char* name;
    std::string file;
    int status;  // the conversion_result's value: 0 ran, 1 invalid_datalog
    std::string text, out, err;
};

// In every way the tests run a conversion: every shape, both text modes.
void expect_conversion(const convert_case& c) {
    in_every_way([&](datalog::text_mode mode, const std::string& way) {
        const conversion r = run_conversion(c.file, -1, mode);
        const std::string name = c.name + (", " + way);
        EXPECT_EQ(static_cast<int>(r.status), c.status) << name;
        EXPECT_EQ(r.text, in_mode(mode, c.text)) << name;
        EXPECT_EQ(r.out, in_mode(mode, c.out)) << name;
        EXPECT_EQ(r.err, in_mode(mode, c.err)) << name;
    });
}

TEST(ConvertDatalog, RecordsEndAtTheMarkerTheCountOrTheInput) {
    using datalog_writer::datalog;
    const std::string report3 = header_report(3, 3, 2, 3);
    const std::string report0 = header_report(0, 3, 2, 3);
    const std::string two_records = datalog(fields(0, 3, 12), rows(2), false);
    const std::string quarter = datalog(fields(0, 1, 4), {{0.25}}, false);  // "EF080000"
    const convert_case cases[] = {
        {"marker first", datalog(fields(0, 3, 12), {}), 0, "", summary(0), report0 + analysing},
        {"count 3, no marker", datalog(fields(3, 3, 12), rows(5), false), 0, lines(3),
         progress(1, 3) + summary(3), report3 + analysing},
        {"count 3, marker second", datalog(fields(3, 3, 12), rows(1)), 0, lines(1),
         progress(1, 1) + summary(1), report3 + analysing},
        {"count 0 runs to the marker", datalog(fields(0, 3, 12), rows(7)), 0, lines(7),
         progress(1, 7) + summary(7), report0 + analysing},
        {"lower-case marker", two_records + "ff" + std::string(22, '0'), 0, lines(2),
         progress(1, 2) + summary(2), report0 + analysing},
        {"marker in a partial last record", two_records + "fF12", 0, lines(2),
         progress(1, 2) + summary(2), report0 + analysing},
        {"input ends after a whole record", two_records, 0, lines(2), progress(1, 2) + summary(2),
         report0 + analysing + "Datalog file truncated after record 2\n"},
        {"input ends inside a record", two_records + std::string(23, '1'), 0, lines(2),
         progress(1, 2) + summary(2),
         report0 + analysing + "Datalog file truncated after record 2\n"},
        {"one character left", two_records + "F", 0, lines(2), progress(1, 2) + summary(2),
         report0 + analysing + "Datalog file truncated after record 2\n"},
        {"one F after a record whose second character is F", quarter + "F", 0,
         "    1, +2.5000E-01\n", progress(1, 1) + summary(1),
         header_report(0, 1, 2, 3) + analysing + "Datalog file truncated after record 1\n"},
        {"count above the records", datalog(fields(5, 3, 12), rows(2), false), 0, lines(2),
         progress(1, 2) + summary(2),
         header_report(5, 3, 2, 3) + analysing + "Datalog file truncated after record 2\n"},
    };
    for (const convert_case& c : cases) expect_conversion(c);
}

TEST(ConvertDatalog, RejectsFilesThatAreNoValidDatalog) {
    using datalog_writer::datalog;
    const std::string full = datalog(fields(0, 3, 12), rows(2));
    const convert_case cases[] = {
        {"empty file", "", 1, "", "", ""},
        {"shorter than the header block", full.substr(0, 1151), 1, "", "", ""},
        {"record length 65", datalog(fields(0, 3, 65), rows(2)), 1, "", "",
         header_report(0, 3, 2, 3)},
        {"record length 0", datalog(fields(0, 0, 0), {}), 1, "", "", header_report(0, 0, 2, 3)},
        {"values past the record", datalog(fields(0, 4, 15), {}), 1, "", "",
         header_report(0, 4, 2, 3)},
        {"more than 16 values", datalog(fields(2, 17, 64), {}), 1, "", "",
         header_report(2, 17, 2, 3)},
    };
    for (const convert_case& c : cases) expect_conversion(c);
}

TEST(ConvertDatalog, AcceptsTheLongestRecordAndRecordsWithoutValues) {
    using datalog_writer::datalog;
    const std::vector<double> sixteen(16, -0.0);
    std::string row = "    1";
    for (int k = 0; k < 16; ++k) row += ", -0.0000E+00";
    const conversion full = run_conversion(datalog(fields(1, 16, 64), {sixteen}, false));
    EXPECT_EQ(full.status, datalog::conversion_result::ran);
    EXPECT_EQ(full.text, row + "\n");

    const conversion empty = run_conversion(datalog(fields(0, 0, 1), {{}, {}}));
    EXPECT_EQ(empty.text, "    1\n    2\n");
    EXPECT_EQ(empty.out, progress(1, 2) + summary(2));
}

TEST(ConvertDatalog, StopsAtTheDefaultLimitWithWideRecordNumbers) {
    // 1,000,000 two-character records of no values, then what follows them:
    // the default limit ends the run there, with no truncation reported; a
    // whole record left over is reported as not converted, and nothing else
    // is (a record cut short, the end marker, the file's end).
    const std::string more = "Datalog file holds more records after record 1000000\n";
    const struct {
        const char* name;
        std::string after;
        std::string err;
    } cases[] = {
        {"a whole record", "00", more},
        {"a record cut short", "0", ""},
        {"the end marker", "FF", ""},
        {"the file's end", "", ""},
    };
    for (const auto& c : cases) {
        std::string file =
            datalog_writer::preamble() + datalog_writer::header_block(fields(0, 0, 1));
        file += std::string(2 * 1000000, '0') + c.after;
        const conversion r = run_conversion(file);
        EXPECT_EQ(r.status, datalog::conversion_result::ran) << c.name;
        EXPECT_EQ(r.err, header_report(0, 0, 2, 3) + analysing + c.err) << c.name;
        EXPECT_EQ(r.text.size(), 99999u * 6 + 900000u * 7 + 8) << c.name;
        EXPECT_EQ(r.text.substr(123455 * 7 - 99999, 7), "123456\n") << c.name;
        EXPECT_EQ(r.text.substr(r.text.size() - 8), "1000000\n") << c.name;
        const std::string last = progress_line(1000000) + summary(1000000);
        EXPECT_EQ(r.out.substr(r.out.size() - last.size()), last) << c.name;
    }
}

TEST(ConvertDatalog, JunkCharactersCountAsZeroDigits) {
    std::string file = datalog_writer::preamble() + datalog_writer::header_block(fields(1, 2, 8));
    file +=
        "2008 000"
        "2G480z00";  // 1.0 with a space; 1.03125 with G and z as zeros
    const conversion r = run_conversion(file);
    EXPECT_EQ(r.text, "    1, +1.0000E+00, +1.0313E+00\n");
}

// A read that fails is neither the end of the file nor a truncation: the
// conversion stops with the records before it and says it could not read.
TEST(ConvertDatalog, AFailedReadStopsWithTheRecordsBeforeIt) {
    using datalog_writer::datalog;
    const std::string file = datalog(fields(0, 3, 12), rows(5));
    const std::string report = header_report(0, 3, 2, 3) + analysing;
    struct failing_case {
        const char* name;
        long fail_at;
        std::string text, out, err;
    };
    const long records = 1152, record = 24;
    const failing_case cases[] = {
        {"inside the header block", 1100, "", "", ""},
        {"before the first record", records, "", summary(0), report},
        {"inside the third record", records + 2 * record + 5, lines(2), progress(1, 2) + summary(2),
         report},
        {"at the end marker", records + 5 * record, lines(5), progress(1, 5) + summary(5), report},
    };
    in_every_way([&](datalog::text_mode mode, const std::string& way) {
        for (const failing_case& c : cases) {
            const conversion r = run_conversion(file, c.fail_at, mode);
            const std::string name = c.name + (", " + way);
            EXPECT_EQ(r.status, datalog::conversion_result::input_read_failed) << name;
            EXPECT_EQ(r.text, in_mode(mode, c.text)) << name;
            EXPECT_EQ(r.out, in_mode(mode, c.out)) << name;
            EXPECT_EQ(r.err, in_mode(mode, c.err)) << name;
        }
    });
}

// A read that fails in bytes the conversion never needed, past the end marker
// or the record count, is no failure: the reader reads ahead of the records,
// but the conversion ran to its end.
TEST(ConvertDatalog, AFailedReadPastTheLastRecordNeededChangesNothing) {
    using datalog_writer::datalog;
    const std::string after(20000, '7');
    const long records = 1152, record = 24;
    const struct {
        const char* name;
        std::string file;
        long fail_at;
        unsigned count;
    } cases[] = {
        {"after the end marker", datalog(fields(0, 3, 12), rows(5)) + after,
         records + 6 * record + 100, 0},
        {"right after the end marker", datalog(fields(0, 3, 12), rows(5)) + after,
         records + 6 * record, 0},
        {"after the counted records", datalog(fields(5, 3, 12), rows(5), false) + after,
         records + 5 * record + 100, 5},
        {"right after the counted records", datalog(fields(5, 3, 12), rows(5), false) + after,
         records + 5 * record, 5},
    };
    in_every_way([&](datalog::text_mode mode, const std::string& way) {
        for (const auto& c : cases) {
            const conversion r = run_conversion(c.file, c.fail_at, mode);
            const std::string name = c.name + (", " + way);
            EXPECT_EQ(r.status, datalog::conversion_result::ran) << name;
            EXPECT_EQ(r.text, in_mode(mode, lines(5))) << name;
            EXPECT_EQ(r.out, in_mode(mode, progress(1, 5) + summary(5))) << name;
            EXPECT_EQ(r.err, in_mode(mode, header_report(c.count, 3, 2, 3) + analysing)) << name;
        }
    });
}

// Every header field at its full width, each character a different digit, so
// that a field read too short, too long or in the wrong order shows; and a
// count above 65,535 with fewer records in the file.
TEST(ConvertDatalog, HeaderFieldsAreReadAtTheirFullWidth) {
    std::string block =
        "123456"
        "20"
        "80"
        "AB"
        "CD";  // 0x654321, 2, 8, 0xBA, 0xDC
    block += std::string(128 - block.size(), '0');
    const std::string record = datalog_writer::record({1.0, -0.25}, 8);
    const conversion wide = run_conversion(datalog_writer::preamble() + block + record);
    EXPECT_EQ(wide.err, header_report(0x654321, 2, 0xBA, 0xDC) + analysing +
                            "Datalog file truncated after record 1\n");
    EXPECT_EQ(wide.text, "    1, +1.0000E+00, -2.5000E-01\n");

    const conversion count =
        run_conversion(datalog_writer::datalog(fields(65537, 3, 12), rows(3), false));
    EXPECT_EQ(count.err, header_report(65537, 3, 2, 3) + analysing +
                             "Datalog file truncated after record 3\n");
    EXPECT_EQ(count.text, lines(3));
    EXPECT_EQ(count.out, progress(1, 3) + summary(3));
}

// Bytes 0x80-0xFF are no hexadecimal digits: they read as 0 in the header's
// fields and in packed values, on every formatting path.
TEST(ConvertDatalog, CharactersWithTheHighBitSetCountAsZero) {
    std::string block = datalog_writer::header_block(fields(1, 2, 8));
    const std::string no_values = block.substr(0, 6) + "\xB2\xB2" + block.substr(8);
    std::string record = datalog_writer::record({1.0, 1.0}, 8);
    record[3] = '\xB8';  // the fraction's top nibble of the first value: 1.0 becomes 0
    record[8] = '\xA2';  // the second value's exponent and sign: 1.0 becomes 2^-1
    for (const datalog::value_path path : available_value_paths()) {
        const scoped_value_path held(path);
        const conversion values = run_conversion(datalog_writer::preamble() + block + record);
        EXPECT_EQ(values.text, "    1, +0.0000E+00, +5.0000E-01\n")
            << datalog::value_path_name(path);
        const conversion none = run_conversion(datalog_writer::preamble() + no_values + record);
        EXPECT_EQ(none.text, "    1\n") << datalog::value_path_name(path);
        EXPECT_EQ(none.err, header_report(1, 0, 2, 3) + analysing);
    }
}

// An input that cannot be positioned is no datalog, and nothing is read or
// printed.
TEST(ConvertDatalog, AnInputThatCannotBePositionedIsInvalid) {
    const std::string file = datalog_writer::datalog(fields(0, 3, 12), rows(2));
    const conversion r = run_conversion(file, -1, datalog::text_mode::bytes, true);
    EXPECT_EQ(r.status, datalog::conversion_result::invalid_datalog);
    EXPECT_EQ(r.text + r.out + r.err, "");
}

// A failed write stops the conversion at once, however it is shared out:
// the output holds whole lines only, cut back to the last one where it is a
// regular file, and the records counted, and shown in the progress, are
// exactly those lines; reading stops within a batch for each thread. On
// /dev/full nothing is held and nothing counted.
TEST(ConvertDatalog, AFailedWriteLeavesTheWholeLinesItCountsInEveryWay) {
    const unsigned records = 1000000;  // 8 MB
    const std::string file =
        datalog_writer::datalog(fields(0, 1, 4), std::vector<std::vector<double>>(records, {1.0}));
    const std::string folder = make_temp_folder();
    const std::string output = folder + "/OUT.TXT";
    in_every_way([&](datalog::text_mode mode, const std::string& way) {
        const std::size_t line = in_mode(mode, "    1, +1.0000E+00\n").size();
        // Nothing, a line cut, a line's end, a page's end, past a batch.
        for (const std::size_t room : {std::size_t{0}, 5 * line + 3, 7 * line,
                                       std::size_t{datalog::write_page}, 5000 * line + 1}) {
            const std::string name = way + ", room " + std::to_string(room);
            conversion r;
            {
                const file_size_limit limit(room == 0 ? RLIM_INFINITY : room);
                r = run_conversion(file, static_cast<long>(file.size()), mode, false,
                                   room == 0 ? "/dev/full" : output.c_str());
            }
            const std::string held = room == 0 ? "" : read_file(output);
            const unsigned lines =
                static_cast<unsigned>(std::count(held.begin(), held.end(), '\n'));
            EXPECT_EQ(r.status, datalog::conversion_result::ran) << name;
            EXPECT_TRUE(r.output_error) << name;
            EXPECT_LT(r.input_read, 4L << 20) << name;
            EXPECT_EQ(held.size(), lines * line) << name << ": a line cut";
            EXPECT_EQ(lines, room / line) << name;
            EXPECT_EQ(r.out, in_mode(mode, progress(1, lines) + summary(lines))) << name;
            EXPECT_EQ(r.err, in_mode(mode, header_report(0, 1, 2, 3) + analysing)) << name;
        }
    });
    std::filesystem::remove_all(folder);
}

// A truncated datalog whose output cannot be written: the records read were
// not all written, so no truncation is reported, however far the threads had
// read.
TEST(ConvertDatalog, ATruncationIsNotReportedAfterAFailedWrite) {
    for (const unsigned records : {4000u, 10u}) {
        std::string file = datalog_writer::datalog(
            fields(0, 1, 4), std::vector<std::vector<double>>(records, {1.0}), false);
        file += "0000";
        in_every_way([&](datalog::text_mode mode, const std::string& way) {
            const conversion r = run_conversion(file, -1, mode, false, "/dev/full");
            const std::string name = std::to_string(records) + " records, " + way;
            EXPECT_TRUE(r.output_error) << name;
            EXPECT_EQ(r.err, in_mode(mode, header_report(0, 1, 2, 3) + analysing)) << name;
        });
    }
}

}  // namespace
