#include "datalog/record_pipeline.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "datalog/batch_writer.h"
#include "datalog/threads.h"

namespace datalog {

namespace {

constexpr unsigned max_workers = 8;

// What the workers share. The reader and what reading found are used under
// `reading`; the writer in the batches' turn, which `written_batches` gives
// and `turns` guards.
struct crew {
    crew(const batch_layout& layout, std::vector<std::unique_ptr<record_batch>>& batches,
         text_reader& reader, std::uint32_t limit, std::FILE* output, std::FILE* progress)
        : layout(layout), batches(batches), reader(reader), limit(limit) {
        writer.output = output;
        writer.progress = progress;
    }

    const batch_layout& layout;
    std::vector<std::unique_ptr<record_batch>>& batches;
    text_reader& reader;
    const std::uint32_t limit;
    batch_writer writer;

    mutex reading{};
    std::uint32_t read = 0;
    std::uint64_t batches_read = 0;
    bool input_done = false;
    bool truncated = false;
    unsigned next_batch = 0;  // the batch the next worker to start takes

    monitor turns{};
    std::atomic<std::uint64_t> written_batches{0};
    std::atomic<bool> write_failed{false};
};

// Fills `batch` with the next records, in the reading turn; false when there
// are none for it. Sets `turn` to the batch's place in the output.
bool read_next(crew& c, record_batch& batch, std::uint64_t& turn) {
    c.reading.lock();
    const bool go = !c.input_done && !c.write_failed.load(std::memory_order_relaxed);
    if (go) {
        const batch_end end =
            fill_batch(c.reader, c.layout, std::min(c.layout.records, c.limit - c.read), batch);
        batch.first_number = c.read + 1;
        c.read += batch.count;
        turn = c.batches_read;
        if (batch.count != 0) ++c.batches_read;
        c.truncated = end == batch_end::truncated;
        c.input_done = end != batch_end::full || c.read == c.limit;
    }
    c.reading.unlock();
    return go && batch.count != 0;
}

// Waking a sleeping thread costs tens of microseconds on some systems: a
// worker whose turn is near waits awake for up to about as long as a batch's
// write takes before it sleeps, by the clock (a pause's length differs tenfold
// between processors).
std::uint64_t awake_microseconds = 100;

// Writes the batch once every batch before it is written.
void write_in_turn(crew& c, const record_batch& batch, std::uint64_t turn) {
    if (c.written_batches.load(std::memory_order_acquire) != turn) {
        const std::uint64_t until = monotonic_microseconds() + awake_microseconds;
        do {
            for (int i = 0; i < 16; ++i) pause_briefly();
        } while (c.written_batches.load(std::memory_order_acquire) != turn &&
                 monotonic_microseconds() < until);
    }
    c.turns.lock();
    while (c.written_batches.load(std::memory_order_relaxed) != turn) c.turns.wait();
    c.turns.unlock();
    write_batch(c.writer, batch);
    c.turns.lock();
    if (c.writer.failed) c.write_failed.store(true, std::memory_order_relaxed);
    c.written_batches.store(turn + 1, std::memory_order_release);
    c.turns.unlock();
    c.turns.wake_all();
}

void work(void* context) {
    crew& c = *static_cast<crew*>(context);
    c.reading.lock();
    record_batch& batch = *c.batches[c.next_batch++];
    c.reading.unlock();
    std::uint64_t turn = 0;
    while (read_next(c, batch, turn)) {
        format_batch(c.layout, batch);
        write_in_turn(c, batch, turn);
    }
}

}  // namespace

pipeline_shape default_pipeline_shape() {
    const unsigned processors = usable_processors();
    return {std::min(processors, max_workers), max_batch_records};
}

pipeline_result run_pipeline(text_reader& reader, const batch_layout& layout, unsigned threads,
                             std::uint32_t limit, std::FILE* output, std::FILE* progress) {
    threads = std::max(1u, std::min(threads, max_workers));
    std::vector<std::unique_ptr<record_batch>> batches(threads);  // one for each worker
    for (std::unique_ptr<record_batch>& batch : batches) batch = std::make_unique<record_batch>();
    crew c(layout, batches, reader, limit, output, progress);
    {
        thread_group workers(work, &c);
        // With one worker, or when the system gives none, this thread is the one.
        if (threads == 1 || workers.start(threads) == 0) work(&c);
    }
    finish(c.writer);
    return {c.read, c.truncated && c.writer.written == c.read, c.writer.written, c.writer.failed,
            c.writer.whole_size};
}

}  // namespace datalog
