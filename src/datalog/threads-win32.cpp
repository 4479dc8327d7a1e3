#include <windows.h>

#include <vector>

#include "datalog/threads.h"

namespace datalog {

unsigned usable_processors() {
    DWORD_PTR process = 0, system = 0;
    unsigned count = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system))
        for (; process != 0; process &= process - 1) ++count;
    return count > 0 ? count : 1;
}

void pause_briefly() {
    YieldProcessor();
}

std::uint64_t monotonic_microseconds() {
    static const std::uint64_t frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<std::uint64_t>(f.QuadPart);
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const std::uint64_t ticks = static_cast<std::uint64_t>(now.QuadPart);
    return ticks / frequency * 1000000u + ticks % frequency * 1000000u / frequency;
}

struct mutex::state {
    SRWLOCK lock = SRWLOCK_INIT;
};

mutex::mutex() : state_(std::make_unique<state>()) {}
mutex::~mutex() = default;

void mutex::lock() {
    AcquireSRWLockExclusive(&state_->lock);
}

void mutex::unlock() {
    ReleaseSRWLockExclusive(&state_->lock);
}

struct monitor::state {
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE condition = CONDITION_VARIABLE_INIT;
};

monitor::monitor() : state_(std::make_unique<state>()) {}
monitor::~monitor() = default;

void monitor::lock() {
    AcquireSRWLockExclusive(&state_->lock);
}

void monitor::unlock() {
    ReleaseSRWLockExclusive(&state_->lock);
}

void monitor::wait() {
    SleepConditionVariableSRW(&state_->condition, &state_->lock, INFINITE, 0);
}

void monitor::wake_all() {
    WakeAllConditionVariable(&state_->condition);
}

namespace {

struct thread_call {
    void (*work)(void*);
    void* context;
};

DWORD WINAPI run_call(void* argument) {
    const thread_call* call = static_cast<const thread_call*>(argument);
    call->work(call->context);
    return 0;
}

}  // namespace

struct thread_group::state {
    thread_call call;
    std::vector<HANDLE> threads;
};

thread_group::thread_group(void (*work)(void*), void* context)
    : state_(std::make_unique<state>(state{{work, context}, {}})) {}

thread_group::~thread_group() {
    join();
}

unsigned thread_group::start(unsigned count) {
    unsigned started = 0;
    for (; started < count; ++started) {
        const HANDLE thread = CreateThread(nullptr, 0, run_call, &state_->call, 0, nullptr);
        if (thread == nullptr) break;  // fewer threads: the caller works with those it has
        state_->threads.push_back(thread);
    }
    return started;
}

void thread_group::join() {
    for (HANDLE thread : state_->threads) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    state_->threads.clear();
}

}  // namespace datalog
