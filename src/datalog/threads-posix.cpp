#include <sched.h>
#include <time.h>

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "datalog/threads.h"

namespace datalog {

unsigned usable_processors() {
#if defined(CPU_COUNT)
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return static_cast<unsigned>(CPU_COUNT(&set));
#endif
    const unsigned known = std::thread::hardware_concurrency();
    return known > 0 ? known : 1;
}

void pause_briefly() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
}

std::uint64_t monotonic_microseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000u +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
}

struct mutex::state {
    std::mutex mutex;
};

mutex::mutex() : state_(std::make_unique<state>()) {}
mutex::~mutex() = default;

void mutex::lock() {
    state_->mutex.lock();
}

void mutex::unlock() {
    state_->mutex.unlock();
}

struct monitor::state {
    std::mutex mutex;
    std::condition_variable condition;
};

monitor::monitor() : state_(std::make_unique<state>()) {}
monitor::~monitor() = default;

void monitor::lock() {
    state_->mutex.lock();
}

void monitor::unlock() {
    state_->mutex.unlock();
}

void monitor::wait() {
    std::unique_lock<std::mutex> held(state_->mutex, std::adopt_lock);
    state_->condition.wait(held);
    held.release();  // still held, by the caller
}

void monitor::wake_all() {
    state_->condition.notify_all();
}

struct thread_group::state {
    void (*work)(void*);
    void* context;
    std::vector<std::thread> threads;
};

thread_group::thread_group(void (*work)(void*), void* context)
    : state_(std::make_unique<state>(state{work, context, {}})) {}

thread_group::~thread_group() {
    join();
}

unsigned thread_group::start(unsigned count) {
    unsigned started = 0;
    try {
        for (; started < count; ++started)
            state_->threads.emplace_back(state_->work, state_->context);
    } catch (const std::system_error&) {
        // Fewer threads than asked: the caller works with those it has.
    }
    return started;
}

void thread_group::join() {
    for (std::thread& thread : state_->threads) thread.join();
    state_->threads.clear();
}

}  // namespace datalog
