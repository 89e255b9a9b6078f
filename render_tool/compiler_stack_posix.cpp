#include "render_tool/compiler_stack.h"

#include <pthread.h>

#include <cstdio>

struct StackedCall {
    int (*body)(int, char**);
    int argc;
    char** argv;
    int result;
};

static void* run_call(void* argument) {
    StackedCall* call = static_cast<StackedCall*>(argument);
    call->result = call->body(call->argc, call->argv);
    return nullptr;
}

int run_on_compiler_stack(int (*body)(int, char**), int argc, char** argv) {
    StackedCall call = {body, argc, argv, 1};
    pthread_attr_t attributes;
    pthread_t thread;
    const bool started = pthread_attr_init(&attributes) == 0 &&
                         pthread_attr_setstacksize(&attributes, LUMENFOLD_COMPILER_STACK_BYTES) == 0 &&
                         pthread_create(&thread, &attributes, run_call, &call) == 0;
    pthread_attr_destroy(&attributes);
    if (!started) {
        fputs("lumenfold-render: no thread with the compiler's stack could be started\n", stderr);
        return 1;
    }
    pthread_join(thread, nullptr);
    return call.result;
}
