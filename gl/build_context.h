#pragma once
// Contexts that share every object with the one the loop draws with, for
// the threads that build pass sets: a program one of them links is one the
// loop can use.

struct BuildContext;

// On the loop's thread, with its context current. Logs why and returns
// null when no such context can be had.
BuildContext* create_build_context();
// On the build thread, before its first and after its last GL call.
bool make_build_context_current(BuildContext* context);
void release_build_context();
// On the loop's thread, once no thread has the context current.
void delete_build_context(BuildContext* context);
