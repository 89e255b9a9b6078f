#include "render/background_builds.h"

#include <GL/glew.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

#include "base/compiler_thread.h"
#include "base/log.h"
#include "gl/build_context.h"

enum class BuildThreadState { Starting, Running, Failed, Ended };

// One build thread takes the queue. One whose compile never ends (a driver
// that loops) is left to itself with its own record, and a new one takes
// over.
struct BuildThread {
    CompilerThread thread;
    BuildContext* context;
    bool quitting;
    BuildThreadState state;
};

static std::mutex queue_lock;
static std::condition_variable queue_changed;
static BackgroundBuild* queue_head = nullptr;
static BuildThread* taking_the_queue = nullptr;

static void set_thread_state(BuildThread* self, BuildThreadState state) {
    const std::lock_guard<std::mutex> lock(queue_lock);
    self->state = state;
    queue_changed.notify_all();
}

// Null once the thread is to stop.
static BackgroundBuild* next_build(BuildThread* self) {
    std::unique_lock<std::mutex> lock(queue_lock);
    queue_changed.wait(lock, [self] { return self->quitting || queue_head; });
    if (self->quitting) return nullptr;
    BackgroundBuild* build = queue_head;
    queue_head = build->next;
    return build;
}

static void compile(BackgroundBuild* build) {
    const auto started = std::chrono::steady_clock::now();
    compile_prepared_pass_set(build->prepared);
    // A program is complete once its link status was read, as every build
    // reads it; a flush hands what this context did to the GL. A finish
    // would wait for the other context's frames too: on a renderer that
    // draws on the CPU it waited 0.8 s behind a banded frame.
    glFlush();
    build->compile_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    build->compiled.store(true, std::memory_order_release);
}

static void compile_queued_builds(void* user) {
    BuildThread* self = static_cast<BuildThread*>(user);
    if (!make_build_context_current(self->context)) {
        log_message("build thread: its context cannot be made current; sets build on the loop's thread");
        set_thread_state(self, BuildThreadState::Failed);
        return;
    }
    // NOTE: the context is current only while a set compiles. Under Wine a
    // display change sent to the windows waited for ever on a thread that
    // held a context current while it slept.
    release_build_context();
    set_thread_state(self, BuildThreadState::Running);
    while (BackgroundBuild* build = next_build(self)) {
        const bool current = make_build_context_current(self->context);
        if (current) compile(build);
        if (!current) {
            log_message("build thread: its context cannot be made current; the set is not built");
            build->compile_ms = 0.0;
            build->compiled.store(true, std::memory_order_release);
        }
        release_build_context();
    }
    set_thread_state(self, BuildThreadState::Ended);
}

static BuildThreadState wait_while_starting(BuildThread* thread) {
    std::unique_lock<std::mutex> lock(queue_lock);
    queue_changed.wait(lock, [thread] { return thread->state != BuildThreadState::Starting; });
    return thread->state;
}

static void free_build_thread(BuildThread* thread) {
    delete_build_context(thread->context);
    free(thread);
}

static BuildThread* start_build_thread() {
    BuildThread* thread = static_cast<BuildThread*>(calloc(1, sizeof(BuildThread)));
    if (!thread) return nullptr;
    thread->context = create_build_context();
    thread->state = BuildThreadState::Starting;
    if (!thread->context) {
        free(thread);
        return nullptr;
    }
    if (!start_compiler_thread(&thread->thread, compile_queued_builds, thread)) {
        log_message("build thread: none could be started; sets build on the loop's thread");
        free_build_thread(thread);
        return nullptr;
    }
    if (wait_while_starting(thread) == BuildThreadState::Running) return thread;
    join_compiler_thread(&thread->thread);
    free_build_thread(thread);
    return nullptr;
}

bool start_background_builds() {
    BuildThread* thread = start_build_thread();
    const std::lock_guard<std::mutex> lock(queue_lock);
    taking_the_queue = thread;
    return thread != nullptr;
}

bool background_builds_running() {
    const std::lock_guard<std::mutex> lock(queue_lock);
    return taking_the_queue != nullptr;
}

void queue_background_build(BackgroundBuild* build) {
    build->compiled.store(false, std::memory_order_relaxed);
    build->next = nullptr;
    const std::lock_guard<std::mutex> lock(queue_lock);
    BackgroundBuild** end = &queue_head;
    while (*end) end = &(*end)->next;
    *end = build;
    queue_changed.notify_all();
}

bool background_build_compiled(const BackgroundBuild& build) {
    return build.compiled.load(std::memory_order_acquire);
}

// The thread stops taking builds; the ones it has not started are the
// caller's again.
static BackgroundBuild* stop_taking_builds(BuildThread* thread, bool unstarted_too) {
    const std::lock_guard<std::mutex> lock(queue_lock);
    thread->quitting = true;
    if (taking_the_queue == thread) taking_the_queue = nullptr;
    BackgroundBuild* unstarted = unstarted_too ? queue_head : nullptr;
    if (unstarted_too) queue_head = nullptr;
    queue_changed.notify_all();
    return unstarted;
}

void leave_build_under_way() {
    BuildThread* stuck = taking_the_queue;
    if (!stuck) return;
    stop_taking_builds(stuck, false);
    // NOTE: its context stays current on it; both go with the process.
    leave_compiler_thread(&stuck->thread);
    BuildThread* fresh = start_build_thread();
    const std::lock_guard<std::mutex> lock(queue_lock);
    taking_the_queue = fresh;
    queue_changed.notify_all();
}

static bool wait_for_thread_end(BuildThread* thread, int patience_ms) {
    std::unique_lock<std::mutex> lock(queue_lock);
    return queue_changed.wait_for(lock, std::chrono::milliseconds(patience_ms),
                                  [thread] { return thread->state == BuildThreadState::Ended; });
}

void stop_background_builds(int patience_ms, void (*not_started)(BackgroundBuild* build)) {
    BuildThread* thread = taking_the_queue;
    if (!thread) return;
    BackgroundBuild* unstarted = stop_taking_builds(thread, true);
    while (unstarted) {
        BackgroundBuild* next = unstarted->next;
        if (not_started) not_started(unstarted);
        unstarted = next;
    }
    if (!wait_for_thread_end(thread, patience_ms)) {
        log_message("build thread: a build still runs after %d ms; it is left to the end of the process",
                    patience_ms);
        leave_compiler_thread(&thread->thread);
        return;
    }
    join_compiler_thread(&thread->thread);
    free_build_thread(thread);
}
