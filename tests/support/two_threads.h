// Runs one piece of work on two threads at once and waits for both: for the
// checks that share their work out over a machine's two cores, with the
// conversion's own threads (datalog/threads.h: the Windows compilers here have
// no std::thread).
#pragma once

// Calls work(context) on this thread and on one more, and returns when both
// calls have returned.
void on_two_threads(void (*work)(void*), void* context);
