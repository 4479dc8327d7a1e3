#include "two_threads.h"

#include "datalog/threads.h"

void on_two_threads(void (*work)(void*), void* context) {
    datalog::thread_group other(work, context);
    const bool started = other.start(1) == 1;
    work(context);
    other.join();
    if (!started) work(context);  // no second thread: the work is shared out, so this finishes it
}
