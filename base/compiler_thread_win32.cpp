#include "base/compiler_thread.h"

#include <windows.h>

#include <cstdlib>

struct ThreadStart {
    void (*body)(void*);
    void* user;
};

static DWORD WINAPI run_thread_body(LPVOID parameter) {
    ThreadStart start = *static_cast<ThreadStart*>(parameter);
    free(parameter);
    start.body(start.user);
    return 0;
}

bool start_compiler_thread(CompilerThread* thread, void (*body)(void*), void* user) {
    thread->handle = nullptr;
    ThreadStart* start = static_cast<ThreadStart*>(malloc(sizeof(ThreadStart)));
    if (!start) return false;
    *start = ThreadStart{body, user};
    // NOTE: without STACK_SIZE_PARAM_IS_A_RESERVATION the size is committed,
    // and the whole range would count against the system's commit limit.
    thread->handle = ::CreateThread(nullptr, LUMENFOLD_COMPILER_STACK_BYTES, run_thread_body, start,
                                    STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!thread->handle) free(start);
    return thread->handle != nullptr;
}

void join_compiler_thread(CompilerThread* thread) {
    if (!thread->handle) return;
    ::WaitForSingleObject(thread->handle, INFINITE);
    ::CloseHandle(thread->handle);
    thread->handle = nullptr;
}

void leave_compiler_thread(CompilerThread* thread) {
    if (thread->handle) ::CloseHandle(thread->handle);
    thread->handle = nullptr;
}
