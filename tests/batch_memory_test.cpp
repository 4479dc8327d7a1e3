// What a conversion's batches cost before their records fill them: each
// worker's batch is about 1 MB of buffers, and a page of it is touched only
// when records are read or formatted into it.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "conversion_helpers.h"
#include "datalog/record_batch.h"
#include "datalog_writer.h"
#include "sanitized.h"

namespace {

long touched_pages() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// In a child process, whose every page is new to it or shared with the
// parent until written, so that each page a conversion writes counts once.
void convert_two_records_with_two_workers(const std::string& file) {
    const scoped_pipeline_shape held({2, datalog::max_batch_records});
    const long before = touched_pages();
    const conversion r = run_conversion(file);
    const long touched = touched_pages() - before;
    const long batch_pages =
        static_cast<long>(sizeof(datalog::record_batch)) / sysconf(_SC_PAGESIZE);
    std::fprintf(stderr, "touched %ld pages, a batch holds %ld\n", touched, batch_pages);
    std::_Exit(r.status == datalog::conversion_result::ran && touched < batch_pages ? 0 : 1);
}

TEST(BatchMemory, TwoRecordsTouchFewPagesOfTheWorkersBatches) {
#ifdef DATALOG_SANITIZED
    GTEST_SKIP() << "a sanitizer's runtime touches pages of its own for each allocation";
#endif
    const datalog_writer::header_fields h{0, 2, 8};
    const std::string file = datalog_writer::datalog(h, {{1.0, -0.5}, {2.0, 0.25}});
    EXPECT_EXIT(convert_two_records_with_two_workers(file), testing::ExitedWithCode(0), "");
}

}  // namespace
