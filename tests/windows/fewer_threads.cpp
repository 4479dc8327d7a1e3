// fewer_threads: a thread group given fewer threads than asked, or none, with
// Windows' own threads: the address space is reserved until only `room` is
// left in one piece, so that thread stacks cannot be had. Exits 0 when each
// group says how many threads it started and each of them made its call once,
// 1 otherwise; 77 in a 64-bit program, whose address space is too large to
// reserve whole. A Windows helper for the end-to-end tests under Wine.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <vector>

#include "datalog/threads.h"

namespace {

std::atomic<unsigned> calls{0};

void count_call(void*) {
    ++calls;
}

// Reserves address space, largest pieces first, until only pieces under 2 MB
// are left: too small for a thread's stack (2 MB reserved), and room for what
// Wine itself allocates meanwhile. Returns what it reserved.
std::vector<void*> reserve_all() {
    std::vector<void*> reserved;
    reserved.reserve(4096);
    for (SIZE_T size = SIZE_T{1} << 30; size > 1024 * 1024; size /= 2)
        while (void* at = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS))
            reserved.push_back(at);
    return reserved;
}

// Starts a group of 8 where `room` bytes of address space are left in one
// piece; true when it started at most `at_most` and each made its call.
bool start_with_room_for(SIZE_T room, unsigned at_most) {
    calls = 0;
    void* kept = room != 0 ? VirtualAlloc(nullptr, room, MEM_RESERVE, PAGE_NOACCESS) : nullptr;
    const std::vector<void*> reserved = reserve_all();
    if (kept != nullptr) VirtualFree(kept, 0, MEM_RELEASE);
    unsigned started = 0;
    {
        datalog::thread_group group(count_call, nullptr);
        started = group.start(8);
    }
    for (void* at : reserved) VirtualFree(at, 0, MEM_RELEASE);
    const bool held = started <= at_most && calls == started;
    std::printf("room %lu: %u threads started (at most %u wanted), %u calls\n",
                static_cast<unsigned long>(room), started, at_most, calls.load());
    return held;
}

}  // namespace

int main() {
    if (sizeof(void*) != 4) return 77;
    // A thread's stack is reserved whole (the program's default, 2 MB or less).
    const bool none = start_with_room_for(0, 0);
    const bool few = start_with_room_for(5 * 1024 * 1024, 7);
    calls = 0;
    {
        datalog::thread_group group(count_call, nullptr);
        if (group.start(8) != 8) std::printf("8 threads asked with room for them: fewer\n");
    }
    return none && few && calls == 8 ? 0 : 1;
}
