#include "base/compiler_thread.h"

#include <pthread.h>

#include <cstdlib>

struct ThreadStart {
    void (*body)(void*);
    void* user;
};

static void* run_thread_body(void* parameter) {
    ThreadStart start = *static_cast<ThreadStart*>(parameter);
    free(parameter);
    start.body(start.user);
    return nullptr;
}

bool start_compiler_thread(CompilerThread* thread, void (*body)(void*), void* user) {
    thread->handle = nullptr;
    ThreadStart* start = static_cast<ThreadStart*>(malloc(sizeof(ThreadStart)));
    pthread_t* handle = static_cast<pthread_t*>(malloc(sizeof(pthread_t)));
    pthread_attr_t attributes;
    bool started = start && handle && pthread_attr_init(&attributes) == 0;
    if (started) {
        *start = ThreadStart{body, user};
        started = pthread_attr_setstacksize(&attributes, LUMENFOLD_COMPILER_STACK_BYTES) == 0 &&
                  pthread_create(handle, &attributes, run_thread_body, start) == 0;
        pthread_attr_destroy(&attributes);
    }
    if (!started) {
        free(start);
        free(handle);
        return false;
    }
    thread->handle = handle;
    return true;
}

void join_compiler_thread(CompilerThread* thread) {
    if (!thread->handle) return;
    pthread_join(*static_cast<pthread_t*>(thread->handle), nullptr);
    free(thread->handle);
    thread->handle = nullptr;
}

void leave_compiler_thread(CompilerThread* thread) {
    if (!thread->handle) return;
    pthread_detach(*static_cast<pthread_t*>(thread->handle));
    free(thread->handle);
    thread->handle = nullptr;
}
