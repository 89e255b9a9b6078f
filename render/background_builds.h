#pragma once
// Pass sets compiled on a thread of their own, so a compile that takes
// seconds stops neither the picture nor the player's messages. One build
// at a time, in the order they were queued; the loop's thread prepares each
// set before and installs it after.

#include <atomic>

#include "shader/pass_set.h"

struct BackgroundBuild {
    PreparedPassSet* prepared;
    // Set by the build thread once `prepared` holds the compiled programs
    // and the GL has finished them.
    std::atomic<bool> compiled;
    // How long the compile took there, in ms: for the log.
    double compile_ms;
    BackgroundBuild* next;  // the queue's own
};

// Needs the loop's context current. False (and logged) when no build
// thread can be had: sets then build on the loop's thread.
bool start_background_builds();
bool background_builds_running();
// The build belongs to the queue until it is compiled. A build still
// compiling when the builds stop is left to the process's end.
void queue_background_build(BackgroundBuild* build);
bool background_build_compiled(const BackgroundBuild& build);
// The build under way is left to the thread compiling it, which may never
// end (a driver that loops); a new thread takes the builds after it. The
// build's record must live on: that thread may still write to it.
void leave_build_under_way();

// Waits up to `patience_ms` for the build under way; builds not yet started
// are handed back unbuilt through `not_started` (may be null).
void stop_background_builds(int patience_ms, void (*not_started)(BackgroundBuild* build));
