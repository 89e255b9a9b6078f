#pragma once
// The render tool compiles on a stack of the size base/compiler_thread.h
// explains. On Windows that is the main thread's reserve, a link option;
// elsewhere a thread of that size runs `body`.

int run_on_compiler_stack(int (*body)(int argc, char** argv), int argc, char** argv);
