// The conversion's threads where the system gives fewer than asked, or none:
// a child process whose address space is held short (RLIMIT_AS), so that
// thread stacks cannot be had.
#include "datalog/threads.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <random>

#include "conversion_helpers.h"
#include "datalog_writer.h"
#include "sanitized.h"

namespace {

// Lets this process map only `more` bytes beyond what it has mapped now.
void hold_address_space(std::size_t more) {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    statm >> pages;
    const rlim_t limit = pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) + more;
    const rlimit held{limit, limit};
    setrlimit(RLIMIT_AS, &held);
}

// The bytes a thread's stack takes, as the system gives it one.
std::size_t stack_size() {
    rlimit stack{};
    getrlimit(RLIMIT_STACK, &stack);
    return stack.rlim_cur == RLIM_INFINITY ? std::size_t{8} << 20 : stack.rlim_cur;
}

std::atomic<unsigned> calls{0};

void count_call(void*) {
    ++calls;
}

// Exits 0 when a group asked for 8 threads starts `at_most` or fewer, and
// each started thread has made the call once by the group's end.
void start_with_room_for(std::size_t room, unsigned at_most) {
    hold_address_space(room);
    unsigned started = 0;
    {
        datalog::thread_group group(count_call, nullptr);
        started = group.start(8);
    }
    std::_Exit(started <= at_most && calls == started ? 0 : 1);
}

TEST(Threads, AGroupGivenFewerThreadsThanAskedSaysHowMany) {
#ifdef DATALOG_SANITIZED
    GTEST_SKIP() << "a sanitizer's runtime needs far more address space than the program";
#endif
    EXPECT_EXIT(start_with_room_for(stack_size() / 2, 0), testing::ExitedWithCode(0), "");
    EXPECT_EXIT(start_with_room_for(3 * stack_size(), 3), testing::ExitedWithCode(0), "");
}

// A conversion shared out among 8 workers, of which the system gives a few
// threads or none, converts as the calling thread alone does.
void convert_with_room_for(std::size_t room, const std::string& file, const std::string& text) {
    const scoped_pipeline_shape held({8, 1});
    std::string expected_text = text;  // allocated before the limit
    hold_address_space(room);
    const conversion r = run_conversion(file);
    std::_Exit(r.text == expected_text ? 0 : 1);
}

TEST(Threads, AConversionGivenFewerThreadsThanWorkersConvertsAlike) {
#ifdef DATALOG_SANITIZED
    GTEST_SKIP() << "a sanitizer's runtime needs far more address space than the program";
#endif
    const datalog_writer::header_fields h{0, 2, 8};
    std::mt19937 rng(39);
    std::vector<std::vector<double>> rows;
    for (int r = 0; r < 3000; ++r) rows.push_back({double(rng() % 1000), -0.5});
    const std::string file = datalog_writer::datalog(h, rows);
    const std::string text = run_conversion(file).text;
    const std::size_t batches = 8 * sizeof(datalog::record_batch) + (4 << 20);
    for (const std::size_t stacks : {std::size_t{0}, 2 * stack_size()})
        EXPECT_EXIT(convert_with_room_for(batches + stacks, file, text), testing::ExitedWithCode(0),
                    "")
            << stacks;
}

}  // namespace
