// The few thread services the conversion needs, one implementation per
// platform (threads-posix.cpp, threads-win32.cpp; the build picks one): the
// Windows programs use the system's own threads, so they need no DLL beyond
// Windows' own.
#pragma once

#include <cstdint>
#include <memory>

namespace datalog {

// How many processors this process may run on (at least 1).
unsigned usable_processors();

// A moment's pause in a loop that waits for another thread, easing the
// processor (and its other hardware thread) meanwhile: from about 10 to about
// 140 cycles, by processor, or a yield where there is no such instruction.
void pause_briefly();

// Microseconds on a clock that only goes forward, from an arbitrary start.
std::uint64_t monotonic_microseconds();

// A lock alone, for state that no thread waits on.
class mutex {
  public:
    mutex();
    ~mutex();
    mutex(const mutex&) = delete;
    mutex& operator=(const mutex&) = delete;

    void lock();
    void unlock();

  private:
    struct state;
    std::unique_ptr<state> state_;
};

// A lock with a condition to wait on, woken for all its waiters.
class monitor {
  public:
    monitor();
    ~monitor();
    monitor(const monitor&) = delete;
    monitor& operator=(const monitor&) = delete;

    void lock();
    void unlock();
    // With the lock held: releases it until the condition is woken, or
    // spuriously, and holds it again.
    void wait();
    void wake_all();

  private:
    struct state;
    std::unique_ptr<state> state_;
};

// Threads that each run the group's one call, work(context), once; they are
// waited for by join or at the group's end. The call is the group's own, so it
// lives as long as every thread that makes it.
class thread_group {
  public:
    thread_group(void (*work)(void*), void* context);
    ~thread_group();
    thread_group(const thread_group&) = delete;
    thread_group& operator=(const thread_group&) = delete;

    // Starts up to `count` more threads and returns how many the system gave
    // (fewer, or none, where it gives no more).
    unsigned start(unsigned count);
    void join();

  private:
    struct state;
    std::unique_ptr<state> state_;
};

}  // namespace datalog
