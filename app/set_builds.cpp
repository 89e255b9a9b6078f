#include "app/set_builds.h"

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "base/log.h"

static SetBuild* oldest = nullptr;

static double now_ms() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

static char* copy_or_null(const char* text) { return text ? strdup(text) : nullptr; }

SetBuild* new_set_build(const char* path, InstallRule rule, SetBuildReach reach, SetBuildDone done) {
    SetBuild* build = static_cast<SetBuild*>(calloc(1, sizeof(SetBuild)));
    if (!build) return nullptr;
    build->path = copy_or_null(path);
    build->rule = rule;
    build->reach = reach;
    build->done = done;
    build->stamps = read_pass_set_stamps(path);
    return build;
}

static bool same_path(const char* a, const char* b) {
    if (!a || !b) return a == b;
    return strcmp(a, b) == 0;
}

static bool goes_to(const SetBuild& build, int set_index) {
    switch (build.reach) {
        case SetBuildReach::EverySet:
            return true;
        case SetBuildReach::SetsPlayingIt:
            return same_path(player_set_path(set_index), build.path);
        case SetBuildReach::OneMonitor:
            return build.identity && strcmp(player_set_identity(set_index), build.identity) == 0;
    }
    return false;
}

static void prepare_for_each_set(SetBuild* build) {
    for (int index = 0; index < player_set_count() && build->install_count < kMostMonitors; ++index) {
        if (!goes_to(*build, index)) continue;
        const int slot = build->install_count++;
        prepare_install_on_set(index, &build->installs[slot], build->path);
        build->set_serials[slot] = player_set_serial(index);
        build->compiles[slot].prepared = &build->installs[slot].prepared;
    }
}

static void compile(BackgroundBuild* compile_job) {
    if (background_builds_running()) {
        queue_background_build(compile_job);
        return;
    }
    compile_prepared_pass_set(compile_job->prepared);
    compile_job->compile_ms = -1.0;
    compile_job->compiled.store(true, std::memory_order_release);
}

// The longest compile of the build's sets, if they built elsewhere.
static void say_compile_time(const SetBuild& build) {
    double longest = -1.0;
    for (int slot = 0; slot < build.install_count; ++slot) {
        if (build.compiles[slot].compile_ms > longest) longest = build.compiles[slot].compile_ms;
    }
    if (longest < 0.0) return;
    log_message("build: %s compiled in %.0f ms on the build thread", build.path ? outside_text(build.path).text : "(built-in)",
                longest);
}

void begin_set_build(SetBuild* build) {
    if (!build) return;
    prepare_for_each_set(build);
    for (int slot = 0; slot < build->install_count; ++slot) compile(&build->compiles[slot]);
    if (!oldest) build->oldest_since_ms = now_ms();
    SetBuild** end = &oldest;
    while (*end) end = &(*end)->next;
    *end = build;
}

static bool compiled(const SetBuild& build) {
    for (int slot = 0; slot < build.install_count; ++slot) {
        if (!background_build_compiled(build.compiles[slot])) return false;
    }
    return true;
}

// A set that plays on no monitor was not installed.
static bool install(SetBuild* build) {
    bool installed = build->install_count > 0;
    for (int slot = 0; slot < build->install_count; ++slot) {
        const unsigned serial = build->set_serials[slot];
        PendingInstall* pending = &build->installs[slot];
        const bool done = build->fades ? finish_fade_on_set(serial, pending, build->path, build->fade_seconds)
                                       : finish_install_on_set(serial, pending, build->path, build->rule);
        installed = done && installed;
    }
    return installed;
}

static void free_set_build(SetBuild* build) {
    free(build->identity);
    free(build->stand_in_for);
    free(build->path);
    free(build);
}

static SetBuild* take_oldest() {
    SetBuild* build = oldest;
    oldest = build->next;
    if (oldest) oldest->oldest_since_ms = now_ms();
    return build;
}

// NOTE: the thread that compiles it may still write to the build, so its
// record is never freed: a rare, small leak, against a player that waits for
// ever.
static void leave_oldest_behind() {
    SetBuild* build = take_oldest();
    log_message("build: %s has not compiled after %.0f s; it is left to its thread and the player plays on",
                build->path ? outside_text(build->path).text : "(built-in)", kCompilePatienceMs / 1000.0);
    leave_build_under_way();
    if (build->done) build->done(*build, false);
}

void finish_set_builds() {
    while (oldest) {
        if (!compiled(*oldest)) {
            if (now_ms() - oldest->oldest_since_ms < kCompilePatienceMs) return;
            leave_oldest_behind();
            continue;
        }
        SetBuild* build = take_oldest();
        say_compile_time(*build);
        const bool installed = install(build);
        if (build->done) build->done(*build, installed);
        free_set_build(build);
    }
}

bool set_builds_pending() { return oldest != nullptr; }

bool set_build_worth_waiting_for() {
    return oldest && (compiled(*oldest) || now_ms() - oldest->oldest_since_ms < kQuickCompileMs);
}

bool set_build_ready() {
    return oldest && (compiled(*oldest) || now_ms() - oldest->oldest_since_ms >= kCompilePatienceMs);
}

int set_build_poll_ms() { return 10; }

static void never_compiled(BackgroundBuild* compile_job) {
    discard_prepared_pass_set(compile_job->prepared);
    compile_job->compiled.store(true, std::memory_order_release);
}

static void drop_set_builds() {
    while (oldest) {
        SetBuild* build = oldest;
        oldest = build->next;
        for (int slot = 0; slot < build->install_count; ++slot) {
            // One the build thread still holds is left to the process's end.
            if (background_build_compiled(build->compiles[slot])) {
                discard_prepared_pass_set(&build->installs[slot].prepared);
            }
        }
        if (compiled(*build)) free_set_build(build);
    }
}

void stop_set_builds(int patience_ms) {
    stop_background_builds(patience_ms, never_compiled);
    drop_set_builds();
}
