// Runs one piece of work on two threads at once and waits for both: for the
// checks that share their work out over a machine's two cores. One
// implementation per platform (the Windows compilers here have no std::thread).
#pragma once

// Calls work(context) on this thread and on one more, and returns when both
// calls have returned.
void on_two_threads(void (*work)(void*), void* context);
