#include "render_tool/compiler_stack.h"

#include <cstdio>

#include "base/compiler_thread.h"

struct StackedCall {
    int (*body)(int, char**);
    int argc;
    char** argv;
    int result;
};

static void run_call(void* argument) {
    StackedCall* call = static_cast<StackedCall*>(argument);
    call->result = call->body(call->argc, call->argv);
}

int run_on_compiler_stack(int (*body)(int, char**), int argc, char** argv) {
    StackedCall call = {body, argc, argv, 1};
    CompilerThread thread;
    if (!start_compiler_thread(&thread, run_call, &call)) {
        fputs("lumenfold-render: no thread with the compiler's stack could be started\n", stderr);
        return 1;
    }
    join_compiler_thread(&thread);
    return call.result;
}
