#include "render_tool/compiler_stack.h"

// The executable's header gives the main thread its reserve (-Wl,--stack).
int run_on_compiler_stack(int (*body)(int, char**), int argc, char** argv) { return body(argc, argv); }
