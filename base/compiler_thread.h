#pragma once
// A thread with the stack the GL's shader compiler needs. The compiler
// recurses as deep as a pass text nests: one long sum takes it about 230
// bytes of stack per byte of text on Mesa, so a text of the megabyte the
// player accepts needs some 240 MiB. The thread gets
// LUMENFOLD_COMPILER_STACK_BYTES as an address range reserved, pages used
// only as deep as a compile goes.

struct CompilerThread {
    void* handle;  // null: none running
};

// False (nothing started) when the system gives no such thread.
bool start_compiler_thread(CompilerThread* thread, void (*body)(void* user), void* user);
// Waits for the thread to end.
void join_compiler_thread(CompilerThread* thread);
// Lets a thread that may never end go on alone; the process ends it.
void leave_compiler_thread(CompilerThread* thread);
