#include <windows.h>

#include "two_threads.h"

namespace {

struct call {
    void (*work)(void*);
    void* context;
};

DWORD WINAPI run(void* argument) {
    const call* c = static_cast<const call*>(argument);
    c->work(c->context);
    return 0;
}

}  // namespace

void on_two_threads(void (*work)(void*), void* context) {
    call c{work, context};
    const HANDLE other = CreateThread(nullptr, 0, run, &c, 0, nullptr);
    work(context);
    if (other != nullptr) {
        WaitForSingleObject(other, INFINITE);
        CloseHandle(other);
    } else {
        work(context);  // no second thread: the work is shared out, so this finishes it
    }
}
