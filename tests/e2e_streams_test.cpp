// The console streams in one file, as `2>&1` gives them, and what the input's
// text-mode stream does to the characters the converter sees.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <random>
#include <thread>

#include "conversion_helpers.h"
#include "datalog/datalog_format.h"
#include "datalog/record_batch.h"
#include "e2e_fixture.h"
#include "text_mode_view.h"

namespace {

using namespace e2e;

struct merged_case {
    std::string name;
    std::vector<std::string> args;
    int status;
    std::string text;  // standard output and the error stream, in one
};

TEST_F(Program, MergedConsoleStreamsKeepTheRunsOrder) {
    write("ZBA_D001.KYX", small_datalog());
    const std::string full = small_datalog();
    write("CUT.KYX", full.substr(0, full.size() - 16 - 5));
    const std::string processing = "Processing file ZBA_D001.KYX into output file ";
    const merged_case cases[] = {
        {"invalid argument", {"-x"}, 1, banner + "Invalid argument x\n" + usage_error},
        {"conversion",
         {"-iZBA_D001.KYX", "-oOUT.TXT"},
         0,
         banner + processing + "OUT.TXT\n" + small_report + small_progress + complete},
        {"truncated",
         {"-iCUT.KYX", "-oCUT.TXT"},
         0,
         banner + "Processing file CUT.KYX into output file CUT.TXT\n" + small_report +
             "Unpacking record 1 from .KYX file\nDatalog file truncated after record 1\n"
             "1 records processed\n" +
             complete},
        {"failed write",
         {"-iZBA_D001.KYX", "-o/dev/full"},
         1,
         banner + processing + "/dev/full\n" + small_report + summary(0) +
             "cannot write output file /dev/full\n"},
    };
    for (const merged_case& c : cases) {
        const program_result r = run_program_merged(folder, c.args);
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_EQ(r.out, as_written(c.text)) << c.name;
    }
}

// On Windows the input is read through a text-mode stream: a CR LF pair reads
// as one character, and a byte 0x1A ends the input. The skipped first 1024
// bytes are passed over by position, so nothing in them matters.
TEST_F(Program, TheTextModeInputStreamOnWindows) {
    if (program_runs_natively()) GTEST_SKIP() << "text mode changes nothing on Linux";
    const datalog_writer::header_fields h{0, 2, 8, 1, 2};
    const std::string header = datalog_writer::header_block(h);
    const std::string one = datalog_writer::record({1.0, -0.25}, 8);
    const std::string two = datalog_writer::record({1.03125, 12344.5}, 8);
    const std::string marker = datalog_writer::end_marker_record(8);
    std::string preamble = datalog_writer::preamble();
    preamble.replace(100, 6, "\r\n\x1a\r\n\n");

    // "40080000" with CR LF for its fifth character: read as "4008\n000", 2.0.
    const std::string crlf = "20080000" + std::string("4008\r\n000");
    write("CRLF.KYX", datalog_writer::preamble() + header + crlf + two + marker);
    write("PREAMBLE.KYX", preamble + header + one + two + marker);
    write("EOF_HEADER.KYX", datalog_writer::preamble() + header.substr(0, 50) + "\x1a" +
                                header.substr(50) + one + two + marker);
    write("EOF_RECORD.KYX",
          datalog_writer::preamble() + header + one + two.substr(0, 5) + "\x1a" + two + marker);

    const program_result crlf_run = run({"-iCRLF.KYX", "-oCRLF.TXT"});
    EXPECT_EQ(crlf_run.status, 0);
    EXPECT_EQ(read_file(path("CRLF.TXT")),
              as_written("    1, +1.0000E+00, +2.0000E+00\n    2, +1.0313E+00, +1.2345E+04\n"));

    const program_result preamble_run = run({"-iPREAMBLE.KYX", "-oPREAMBLE.TXT"});
    EXPECT_EQ(preamble_run.err, as_written(converted("PREAMBLE.KYX", "PREAMBLE.TXT")));
    EXPECT_EQ(read_file(path("PREAMBLE.TXT")), as_written(small_text));

    const program_result header_run = run({"-iEOF_HEADER.KYX", "-oEOF.TXT"});
    EXPECT_EQ(header_run.status, 0);
    EXPECT_EQ(header_run.err,
              as_written(banner + "Processing file EOF_HEADER.KYX into output file EOF.TXT\n" +
                         "Invalid datalog file\n" + complete));
    EXPECT_EQ(read_file(path("EOF.TXT")), "");

    const program_result record_run = run({"-iEOF_RECORD.KYX", "-oEOF.TXT"});
    EXPECT_EQ(record_run.status, 0);
    EXPECT_EQ(record_run.out,
              as_written("Unpacking record 1 from .KYX file\n1 records processed\n"));
    EXPECT_NE(record_run.err.find(as_written("Datalog file truncated after record 1\n" + complete)),
              std::string::npos);
    EXPECT_EQ(read_file(path("EOF.TXT")), as_written("    1, +1.0000E+00, -2.5000E-01\n"));
}

// The same around the places where the program's reads end: the header
// block's end, the first batch's (from the layout the program takes for these
// records) and the file's. Each datalog gives what its text-mode view,
// converted here, gives.
TEST_F(Program, TextModeWhereReadsEndOnWindows) {
    if (program_runs_natively()) GTEST_SKIP() << "text mode changes nothing on Linux";
    const datalog_writer::header_fields h{0, 2, 8};
    const datalog::batch_layout layout = datalog::layout_for(
        datalog::decode_header(datalog_writer::header_block(h).data()),
        datalog::fastest_value_path(), datalog::text_mode::windows, datalog::max_batch_records);
    std::mt19937 rng(16);
    std::string body;  // three batches of records, the header block before them
    for (std::uint32_t r = 0; r < 3 * layout.records; ++r)
        body += datalog_writer::random_packed(rng) + datalog_writer::random_packed(rng);
    body = datalog_writer::header_block(h) + body + datalog_writer::end_marker_record(8);
    const std::string preamble = datalog_writer::preamble();
    const std::size_t batch_end = datalog::header_length + layout.records * layout.record_size;
    const std::string folding[] = {"\r\n", "\r\r\n", "\r\x1A", "\r"};
    for (const std::size_t end : {std::size_t{datalog::header_length}, batch_end, body.size()}) {
        for (std::size_t at = end - 2; at <= std::min(end + 1, body.size()); ++at) {
            for (const std::string& fold : folding) {
                const std::string changed = body.substr(0, at) + fold + body.substr(at);
                write("IN.KYX", preamble + changed);
                const conversion expected = run_conversion(preamble + text_mode_view(changed));
                const program_result r = run({"-iIN.KYX", "-oIN.TXT"});
                const std::string name = testing::PrintToString(fold) + " at " + std::to_string(at);
                EXPECT_EQ(r.status, 0) << name;
                EXPECT_TRUE(r.out == as_written(expected.out)) << name;
                EXPECT_TRUE(read_file(path("IN.TXT")) == as_written(expected.text)) << name;
            }
        }
    }
}

// Started with standard streams closed, the program must not let the files it
// opens take their descriptors: the text file holds exactly the records, the
// closed streams' messages are lost, and the status is unchanged.
TEST_F(Program, ClosedStandardStreamsReachNoFile) {
    write("ZBA_D001.KYX", small_datalog());
    const std::string err = converted("ZBA_D001.KYX", "OUT.TXT");
    for (int closed = 1; closed <= 7; ++closed) {
        const program_result r =
            run_program_closed(folder, {"-iZBA_D001.KYX", "-oOUT.TXT"}, closed);
        const std::string shown = "closed descriptors (bits) " + std::to_string(closed);
        EXPECT_EQ(r.status, 0) << shown;
        EXPECT_EQ(read_file(path("OUT.TXT")), as_written(small_text)) << shown;
        EXPECT_EQ(r.out, as_written(closed & 2 ? "" : small_progress)) << shown;
        EXPECT_EQ(r.err, as_written(closed & 4 ? "" : err)) << shown;
        EXPECT_EQ(read_file(path("ZBA_D001.KYX")), small_datalog()) << shown;
    }
}

// Every way the program ends waits for one key: with standard input an open
// pipe, it is still running after a pause, and once two characters come it
// reads exactly one and ends with its status.
TEST_F(Program, EveryEndingWaitsForOneKey) {
    write("ZBA_D001.KYX", small_datalog());
    write("SHORT.KYX", small_datalog().substr(0, 1100));
    write("notes.txt", "notes\n");
    struct ending {
        const char* name;
        std::vector<std::string> args;
        int status;
    };
    std::vector<ending> endings = {
        {"help", {"-h"}, 0},
        {"invalid argument", {"-x"}, 1},
        {"leftover argument", {"-iA", "-oB", "extra"}, 1},
        {"missing path", {"-iZBA_D001.KYX"}, 1},
        {"input cannot be opened", {"-iMISSING.KYX", "-oB"}, 1},
        {"output cannot be opened", {"-iZBA_D001.KYX", "-omissing/B"}, 1},
        {"dropped file rejected", {"notes.txt"}, 0},
        {"conversion", {"-iZBA_D001.KYX", "-oOUT.TXT"}, 0},
        {"invalid datalog", {"-iSHORT.KYX", "-oOUT.TXT"}, 0},
        {"failed write", {"-iZBA_D001.KYX", "-o/dev/full"}, 1},
        {"same file", {"-oZBA_D001.KYX", "-iZBA_D001.KYX"}, 1},
    };
    if (program_runs_natively())
        endings.push_back({"failed read", {"-i/proc/self/mem", "-oOUT.TXT"}, 1});
    std::vector<std::vector<std::string>> runs;
    for (const ending& e : endings) runs.push_back(e.args);
    const std::vector<waiting_result> results = run_programs_waiting(folder, runs);
    for (std::size_t i = 0; i < endings.size(); ++i) {
        EXPECT_TRUE(results[i].waited) << endings[i].name;
        EXPECT_EQ(results[i].status, endings[i].status) << endings[i].name;
        EXPECT_EQ(results[i].characters_left, 1) << endings[i].name;
    }
}

// A datalog through a pipe cannot be positioned: no datalog, status 0.
TEST_F(Program, ADatalogThroughAPipeIsInvalid) {
    ASSERT_EQ(mkfifo(path("PIPE.KYX").c_str(), 0644), 0);
    std::signal(SIGPIPE, SIG_IGN);
    const std::string content = small_datalog();
    std::thread writer([&] {
        const int fifo = open(path("PIPE.KYX").c_str(), O_WRONLY);
        if (fifo < 0) return;
        if (::write(fifo, content.data(), content.size()) < 0) {
        }
        close(fifo);
    });
    const program_result r = run({"-iPIPE.KYX", "-oOUT.TXT"});
    writer.join();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, as_written(banner + "Processing file PIPE.KYX into output file OUT.TXT\n" +
                                "Invalid datalog file\n" + complete));
    EXPECT_EQ(read_file(path("OUT.TXT")), "");
}

// The progress lines are a report, the text file is the work: when standard
// output's reader has gone, the conversion still runs to its end, and the
// status is what it would have been.
TEST_F(Program, GoesOnWhenStandardOutputsReaderIsGone) {
    const datalog_writer::header_fields h{0, 4, 16};
    write("BIG.KYX", datalog_writer::datalog(
                         h, std::vector<std::vector<double>>(20000, {1.0, 2.0, 3.0, 4.0})));
    const program_result plain = run({"-iBIG.KYX", "-oPLAIN.TXT"});
    const program_result r = run_program_reader_gone(folder, {"-iBIG.KYX", "-oBIG.TXT"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, as_written(banner + "Processing file BIG.KYX into output file BIG.TXT\n" +
                                header_report(0, 4, 0, 0) + analysing + complete));
    EXPECT_EQ(read_file(path("BIG.TXT")), read_file(path("PLAIN.TXT")));
}

}  // namespace
