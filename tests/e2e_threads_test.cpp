// The program's own threads, in every way the tests share a conversion out:
// the Linux program's, and the Windows program's own (the system's threads,
// lock and conditions) under Wine. The benchmark's entry to the program's main
// routine holds it to a number of threads and a batch size.
#include <cstdio>
#include <random>

#include "e2e_fixture.h"

namespace {

using namespace e2e;

TEST_F(Program, EveryWayOfSharingOutWritesTheSameBytes) {
    const datalog_writer::header_fields h{0, 2, 8};
    std::mt19937 rng(37);
    std::string body;
    for (int r = 0; r < 3000; ++r)
        body += datalog_writer::random_packed(rng) + datalog_writer::random_packed(rng);
    const std::string file = datalog_writer::preamble() + datalog_writer::header_block(h) + body +
                             datalog_writer::end_marker_record(8);
    write("IN.KYX", file);
    const conversion expected = run_conversion(file);
    for (const datalog::pipeline_shape& shape : tested_pipeline_shapes()) {
        // A waiter left asleep hangs a run with three or more workers only
        // now and then: those run a few times.
        for (int run = 0; run < (shape.threads >= 3 ? 4 : 1); ++run) {
            // Each run writes the output afresh: none is left from the run before.
            std::remove(path("IN.TXT").c_str());
            const std::string held =
                std::to_string(shape.threads) + "/" + std::to_string(shape.batch_records);
            const program_result r =
                run_beside_program(folder, "datalog_bench_programs",
                                   {"program", "any", held, "-iIN.KYX", "-oIN.TXT"}, 60);
            const std::string name = shape_name(shape) + ", run " + std::to_string(run);
            ASSERT_NE(r.status, timed_out_status) << name << ": still running after a minute";
            EXPECT_EQ(r.status, 0) << name << ", said: " << r.err;
            EXPECT_TRUE(r.out == as_written(expected.out)) << name << ", wrote: " << r.out;
            EXPECT_TRUE(read_file(path("IN.TXT")) == as_written(expected.text)) << name;
        }
    }
}

// The Windows program's thread group where the system gives fewer threads
// than asked, or none (tests/windows/fewer_threads.cpp); the Linux one's is
// Threads.* in the unit tests.
TEST_F(Program, TheWindowsThreadGroupGivenFewerThreadsSaysHowMany) {
    if (program_runs_natively()) GTEST_SKIP() << "the Linux program's: Threads.*";
    const program_result r = run_beside_program(folder, "fewer_threads", {}, 60);
    if (r.status == 77) GTEST_SKIP() << "a 64-bit program's address space is too large to fill";
    EXPECT_EQ(r.status, 0) << r.out;
}

}  // namespace
