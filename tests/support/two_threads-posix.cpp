#include <thread>

#include "two_threads.h"

void on_two_threads(void (*work)(void*), void* context) {
    std::thread other(work, context);
    work(context);
    other.join();
}
