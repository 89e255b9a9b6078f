#pragma once
// The GL's shader compiler recurses as deep as a pass text nests: one long
// sum takes it about 230 bytes of stack per byte of text on Mesa, so a text
// of the megabyte the player accepts needs some 240 MiB. The thread that
// compiles gets LUMENFOLD_COMPILER_STACK_BYTES: an address range reserved,
// pages used only as deep as a compile goes. On Windows that is the main
// thread's reserve, a link option; elsewhere a thread of that size runs
// `body`.

int run_on_compiler_stack(int (*body)(int argc, char** argv), int argc, char** argv);
