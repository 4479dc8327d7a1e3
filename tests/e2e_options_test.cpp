// The built program, run as a user would, on the command-line cases.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

#include "conversion_helpers.h"
#include "datalog/batch_writer.h"
#include "datalog/record_batch.h"
#include "e2e_fixture.h"
#include "partly_readable.h"
#include "test_mount.h"

namespace {

using namespace e2e;
namespace fs = std::filesystem;

struct console_case {
    std::vector<std::string> args;
    int status;
    std::string out, err;
};

TEST_F(Program, OptionsAndArgumentErrors) {
    write("notes.txt", "not a datalog\n");
    write("ZBA_D001.KYX", small_datalog());
    const console_case cases[] = {
        {{"-iA.KYX"}, 1, "", banner + "no output file specified\n"},
        {{"-oB"}, 1, "", banner + "no input file specified\n"},
        {{"-iA", "-oB", "extra"}, 1, "", banner + usage_error},
        {{"-i", "A", "-oB"}, 1, "", banner + usage_error},
        {{"/?"}, 1, "", banner + usage_error},
        {{""}, 1, "", banner + usage_error},
        {{"-x"}, 1, "Invalid argument x\n", banner + usage_error},
        {{"-H"}, 1, "Invalid argument H\n", banner + usage_error},
        {{"-I", "-iA", "-oB"}, 1, "Invalid argument I\n", banner + usage_error},
        {{"-"}, 1, std::string("Invalid argument \0\n", 19), banner + usage_error},
        {{"-h"}, 0, "", banner + usage_help},
        {{"-?"}, 0, "", banner + usage_help},
        {{"-iA", "-hmore", "-x"}, 0, "", banner + usage_help},
        {{"-x", "-h"}, 1, "Invalid argument x\n", banner + usage_error},
        {{"-iA", "-oB"}, 1, "", banner + "cannot open input file A\n"},
        {{"-i", "-oB"}, 1, "", banner + "cannot open input file \n"},
        {{"-iZBA_D001.KYX", "-omissing/B"}, 1, "", banner + "cannot open output file missing/B\n"},
        {{"-iA", "notes.txt"}, 0, "", banner + "Invalid datalog file\n"},
        {{"data.kyx"}, 1, "", banner + usage_error},
        {{"-iA", "-oB", "notes.txt"}, 1, "", banner + usage_error},
    };
    for (const console_case& c : cases) {
        const program_result r = run(c.args);
        std::string shown;
        for (const auto& a : c.args) shown += "[" + a + "] ";
        EXPECT_EQ(r.status, c.status) << shown;
        EXPECT_EQ(r.out, as_written(c.out)) << shown;
        EXPECT_EQ(r.err, as_written(c.err)) << shown;
    }
    EXPECT_FALSE(file_exists(path("B")));
}

TEST_F(Program, ConvertsWithOptionsAndLaterOptionsWin) {
    write("ZBA_D001.KYX", small_datalog());
    write("OUT.TXT", "old text, to be replaced\n");
    const program_result r = run({"-iother", "-oB", "-iZBA_D001.KYX", "-oOUT.TXT"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, as_written(small_progress));
    EXPECT_EQ(r.err, as_written(converted("ZBA_D001.KYX", "OUT.TXT")));
    EXPECT_EQ(read_file(path("OUT.TXT")), as_written(small_text));
    EXPECT_FALSE(file_exists(path("B")));
}

TEST_F(Program, ReportsInvalidDatalogsAndLeavesTheOutputEmpty) {
    std::string rejected = small_datalog();
    rejected[1024 + 8] = '1';  // record length 0x41 = 65
    rejected[1024 + 9] = '4';
    write("BAD.KYX", rejected);
    write("SHORT.KYX", small_datalog().substr(0, 1100));
    write("OUT.TXT", "old text\n");
    const program_result bad = run({"-iBAD.KYX", "-oOUT.TXT"});
    EXPECT_EQ(bad.status, 0);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, as_written(banner + "Processing file BAD.KYX into output file OUT.TXT\n" +
                                  "\nAutodetect number of records\n2 values per record\n"
                                  "1 values per phase\n2 phases per record\n" +
                                  "Invalid datalog file\n" + complete));
    EXPECT_EQ(read_file(path("OUT.TXT")), "");

    const program_result short_file = run({"-iSHORT.KYX", "-oOUT2.TXT"});
    EXPECT_EQ(short_file.status, 0);
    EXPECT_EQ(short_file.err,
              as_written(banner + "Processing file SHORT.KYX into output file OUT2.TXT\n" +
                         "Invalid datalog file\n" + complete));
    EXPECT_EQ(read_file(path("OUT2.TXT")), "");
}

TEST_F(Program, ReportsATruncatedDatalogAndKeepsItsRecords) {
    const std::string full = small_datalog();
    write("CUT.KYX", full.substr(0, full.size() - 16 - 5));  // marker and part of record 2 gone
    const program_result r = run({"-iCUT.KYX", "-oOUT.TXT"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, as_written("Unpacking record 1 from .KYX file\n1 records processed\n"));
    EXPECT_NE(r.err.find(as_written("Datalog file truncated after record 1\n" + complete)),
              std::string::npos);
    EXPECT_EQ(read_file(path("OUT.TXT")), as_written("    1, +1.0000E+00, -2.5000E-01\n"));
}

TEST_F(Program, RefusesADirectoryAsInput) {
    fs::create_directory(path("folder"));
    const program_result r = run({"-ifolder", "-oOUT.TXT"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, as_written(banner + "cannot open input file folder\n"));
    EXPECT_FALSE(file_exists(path("OUT.TXT")));
}

// A failed write stops the run with status 1: the text file holds whole
// lines only (a regular file is cut back to its last whole line), and the
// progress and the count say exactly those. On a file system that fills up
// within a line, where a line ends, inside the page that spans two batches
// and at the last write; on /dev/full (Wine maps the same path to it), which
// takes nothing; and, for the Linux program, under a file size limit
// (ulimit -f), whose signal would end it without a word.
TEST_F(Program, AFailedWriteCountsTheWholeLinesTheFileHolds) {
    const datalog_writer::header_fields h{0, 1, 4};
    const unsigned records = 10000;
    write("BIG.KYX", datalog_writer::datalog(h, std::vector<std::vector<double>>(records, {1.0})));
    const std::size_t page = datalog::write_page;
    const std::size_t line = as_written("    1, +1.0000E+00\n").size();
    std::size_t lines_on_pages = 1;  // the fewest pages that end where a line does
    while (lines_on_pages * page % line != 0) ++lines_on_pages;
    const std::size_t batch_pages = datalog::max_batch_records * line / page;
    const struct {
        const char* name;
        std::size_t pages;  // the room; 0: /dev/full
        bool size_limit;    // the room is a file size limit, not a file system's
    } fills[] = {
        {"/dev/full", 0, false},
        {"within a line", 1, false},
        {"where a line ends", lines_on_pages, false},
        {"the page that spans two batches", batch_pages, false},
        {"the last write", records * line / page, false},
        {"a file size limit", 3, true},
    };
    for (const auto& fill : fills) {
        if (fill.size_limit && !program_runs_natively()) continue;
        const std::string folder_name = "fs" + std::to_string(&fill - fills);
        std::unique_ptr<test_mount> small;
        std::unique_ptr<file_size_limit> limit;
        std::string output = "/dev/full";
        if (fill.size_limit) {
            fs::create_directory(path(folder_name));
            output = path(folder_name + "/OUT.TXT");
            limit = std::make_unique<file_size_limit>(fill.pages * page);
        } else if (fill.pages != 0) {
            small = std::make_unique<test_mount>(path(folder_name), "tmpfs",
                                                 "size=" + std::to_string(fill.pages * page));
            if (!small->mounted()) GTEST_SKIP() << "cannot mount tmpfs here: " << small->error();
            output = program_path(path(folder_name + "/OUT.TXT"));
        }
        // Under a size limit the progress goes nowhere: written to a file, it
        // would meet the limit first.
        const program_result r =
            fill.size_limit ? run_program_output_discarded(folder, {"-iBIG.KYX", "-o" + output})
                            : run({"-iBIG.KYX", "-o" + output});
        limit.reset();
        // The Linux program's writes fill the room to its last byte; Windows
        // may refuse a write that does not fit whole.
        const std::string text = fill.pages != 0 ? read_file(path(folder_name + "/OUT.TXT")) : "";
        const std::size_t held = text.size() / line;
        EXPECT_EQ(text.size(), held * line) << fill.name << ": a line cut";
        EXPECT_LE(held, fill.pages * page / line) << fill.name;
        if (program_runs_natively()) {
            EXPECT_EQ(held, fill.pages * page / line) << fill.name;
        }
        std::string progress;
        for (std::size_t n = 1; n <= held; ++n) progress += progress_line(static_cast<unsigned>(n));
        EXPECT_EQ(r.status, 1) << fill.name;
        EXPECT_TRUE(fill.size_limit ||
                    r.out == as_written(progress + summary(static_cast<unsigned>(held))))
            << fill.name << ": "
            << r.out.substr(r.out.size() - std::min<std::size_t>(80, r.out.size()));
        EXPECT_EQ(r.err, as_written(banner + "Processing file BIG.KYX into output file " + output +
                                    "\n" + header_report(0, 1, 0, 0) + analysing +
                                    "cannot write output file " + output + "\n"))
            << fill.name;
    }
}

// Without a record count at most 1000000 records are converted: a datalog
// that holds a further record says so before the summary, and one that ends
// there, by its end marker or its end, says nothing more.
TEST_F(Program, SaysWhenRecordsPastTheLimitAreNotConverted) {
    const datalog_writer::header_fields h{0, 0, 1};
    const std::string more = "Datalog file holds more records after record 1000000\n";
    const struct {
        const char* name;
        std::uint32_t records;
        bool end_marker;
        bool told;
    } cases[] = {{"MORE.KYX", 1000005, true, true},
                 {"MARKER.KYX", 1000000, true, false},
                 {"END.KYX", 1000000, false, false}};
    for (const auto& c : cases) {
        write(c.name, datalog_writer::datalog(h, std::vector<std::vector<double>>(c.records),
                                              c.end_marker));
        const program_result r = run({std::string("-i") + c.name, "-oOUT.TXT"});
        EXPECT_EQ(r.status, 0) << c.name;
        const std::string summary = as_written("1000000 records processed\n");
        EXPECT_EQ(r.out.substr(r.out.size() - summary.size()), summary) << c.name;
        const std::string ending = as_written((c.told ? more : "") + complete);
        EXPECT_EQ(r.err.substr(r.err.size() - ending.size()), ending) << c.name;
        EXPECT_EQ(r.err.find("Datalog file"),
                  c.told ? r.err.size() - ending.size() : std::string::npos)
            << c.name;
        // Numbers of five, six and seven digits, each line with its line end.
        const std::size_t line_end = as_written("\n").size();
        EXPECT_EQ(fs::file_size(path("OUT.TXT")), 99999 * 5 + 900000 * 6 + 7 + 1000000 * line_end)
            << c.name;
    }
}

TEST_F(Program, ReportsAFailedRead) {
    // Linux's /proc/self/mem opens and positions, but reading at offset 1024,
    // which the program has not mapped, fails with an I/O error.
    if (!program_runs_natively()) GTEST_SKIP() << "needs Linux's /proc/self/mem";
    write("OUT.TXT", "old text\n");
    const program_result r = run({"-i/proc/self/mem", "-oOUT.TXT"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              as_written(banner + "Processing file /proc/self/mem into output file OUT.TXT\n" +
                         "cannot read input file /proc/self/mem\n"));
    EXPECT_EQ(read_file(path("OUT.TXT")), "");
}

// A read that fails partway keeps every record before it, on both programs:
// the Windows runtime's fread delivers nothing of a request once a later read
// within it fails, so the program reads past it.
TEST_F(Program, AReadFailingPartwayKeepsTheRecordsBeforeIt) {
    const datalog_writer::header_fields h{0, 16, 64};
    std::mt19937 rng(16);
    std::vector<std::vector<double>> records(2000);
    for (auto& values : records)
        for (int k = 0; k < 16; ++k) values.push_back(std::ldexp(rng() % 1000, -3));
    write("BIG.KYX", datalog_writer::datalog(h, records));
    for (const std::size_t readable : {8 * 1024, 128 * 1024, 200 * 1024}) {
        const partly_readable source(path("BIG.KYX"), readable);
        if (!source.ready()) GTEST_SKIP() << "cannot map a file at address 0 (needs root)";
        const std::string input = program_path(source.path());
        const program_result r = run({"-i" + input, "-oOUT.TXT"});
        const std::size_t kept = (readable - 1152) / 128;
        EXPECT_EQ(r.status, 1) << readable;
        EXPECT_EQ(r.err, as_written(banner + "Processing file " + input +
                                    " into output file OUT.TXT\n" + header_report(0, 16, 0, 0) +
                                    analysing + "cannot read input file " + input + "\n"));
        const std::string text = read_file(path("OUT.TXT"));
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(kept)) << readable;
        EXPECT_NE(r.out.find(as_written(std::to_string(kept) + " records processed\n")),
                  std::string::npos);
    }
}

// A read that fails only in bytes past the end marker or the record count
// fails nothing: the 64 KiB read ahead meets it, the conversion never needs it.
TEST_F(Program, AReadFailingPastTheLastRecordIsNoFailure) {
    datalog_writer::header_fields h{0, 16, 64};
    const std::vector<std::vector<double>> records(20, std::vector<double>(16, 1.5));
    const std::string after(20000, '7');
    for (const std::uint32_t count : {0u, 20u}) {
        h.record_count = count;
        write("END.KYX", datalog_writer::datalog(h, records, count == 0) + after);
        const program_result plain = run({"-iEND.KYX", "-oPLAIN.TXT"});
        const partly_readable source(path("END.KYX"), 8 * 1024);
        if (!source.ready()) GTEST_SKIP() << "cannot map a file at address 0 (needs root)";
        const std::string input = program_path(source.path());
        const program_result r = run({"-i" + input, "-oOUT.TXT"});
        EXPECT_EQ(r.status, 0) << count;
        EXPECT_EQ(r.out, plain.out) << count;
        EXPECT_EQ(r.err,
                  as_written(banner + "Processing file " + input + " into output file OUT.TXT\n" +
                             header_report(count, 16, 0, 0) + analysing + complete))
            << count;
        EXPECT_EQ(read_file(path("OUT.TXT")), read_file(path("PLAIN.TXT"))) << count;
    }
}

// The output the program creates is an ordinary file its user may write: a
// second conversion onto it works, and it is not read-only (the Windows
// program's read-only attribute shows, under Wine, as a file mode without
// write permission).
TEST_F(Program, AnOutputItCreatesStaysWritable) {
    write("A.KYX", small_datalog());
    for (int run_number = 1; run_number <= 2; ++run_number) {
        const program_result r = run({"-iA.KYX", "-oNEW.TXT"});
        EXPECT_EQ(r.status, 0) << run_number;
        EXPECT_EQ(read_file(path("NEW.TXT")), as_written(small_text)) << run_number;
        struct stat status;
        ASSERT_EQ(stat(path("NEW.TXT").c_str(), &status), 0);
        EXPECT_NE(status.st_mode & S_IWUSR, 0u) << run_number;
    }
}

// The Linux program creates a new output as fopen(path, "w") would: mode 0666
// less the umask.
TEST_F(Program, ANewOutputTakesItsModeFromTheUmask) {
    if (!program_runs_natively()) GTEST_SKIP() << "file modes are the Linux program's";
    write("A.KYX", small_datalog());
    for (const mode_t mask : {mode_t{022}, mode_t{002}, mode_t{077}}) {
        const std::string name = "new" + std::to_string(mask) + ".txt";
        const mode_t saved = umask(mask);
        const program_result r = run({"-iA.KYX", "-o" + name});
        umask(saved);
        EXPECT_EQ(r.status, 0);
        struct stat status;
        ASSERT_EQ(stat(path(name).c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0666 & ~mask) << "umask " << mask;
    }
}

// The Linux program reads a datalog's bytes as they are: CR, LF and 0x1A
// inside records are characters that are no hex digit (each reads as 0), and
// none of them ends or shortens a record.
TEST_F(Program, TheLinuxProgramReadsEveryByteAsItIs) {
    if (!program_runs_natively()) GTEST_SKIP() << "the Windows program reads text mode";
    std::string with_controls = small_datalog();
    const std::size_t first_record = 1024 + 128;
    const std::string controls = "\r\n\r\x1A\n\r";
    with_controls.replace(first_record + 2, controls.size(), controls);
    with_controls.replace(first_record + 16 + 10, 2, "\x1A\r");
    std::string with_zeros = with_controls;
    for (char& c : with_zeros)
        if (c == '\r' || c == '\n' || c == '\x1A') c = '0';
    write("CTRL.KYX", with_controls);
    write("ZERO.KYX", with_zeros);
    const program_result controls_run = run({"-iCTRL.KYX", "-oCTRL.TXT"});
    const program_result zeros_run = run({"-iZERO.KYX", "-oZERO.TXT"});
    EXPECT_EQ(controls_run.status, 0);
    EXPECT_EQ(controls_run.out, small_progress);
    EXPECT_EQ(read_file(path("CTRL.TXT")), read_file(path("ZERO.TXT")));
    EXPECT_EQ(read_file(path("CTRL.TXT")),
              "    1, +0.0000E+00, -2.5000E-01\n    2, +1.0313E+00, +5.6500E+01\n");
}

}  // namespace
