#pragma once
// Pass sets the player was asked for, built for the monitors they go to
// while the loop draws and answers on: each is prepared on the loop's
// thread, compiled on the build thread (or here, without one), and
// installed once every monitor's compile is done, in the order asked.

#include <cstdint>

#include "app/monitor_layout.h"
#include "app/player_sets.h"
#include "app/reload_watch.h"
#include "render/background_builds.h"

enum class SetBuildReach {
    EverySet,
    SetsPlayingIt,  // a save: the sets playing the saved set
    OneMonitor,
};

struct SetBuild;
// What the loop does once a build was installed, or not.
typedef void (*SetBuildDone)(const SetBuild& build, bool installed);

struct SetBuild {
    char* path;  // owned; null: the built-in set
    InstallRule rule;
    SetBuildReach reach;
    char* identity;  // owned; the monitor, for OneMonitor
    // Read before the files: a save that lands while the set builds is then
    // a change the next look finds.
    PassSetStamps stamps;
    // A playlist's turn fades into the set over `fade_seconds`.
    bool fades;
    double fade_seconds;
    // Whatever the one who asked needs for `done`.
    uint32_t reply_thread;
    int first_set_kind;
    // A playlist turn: the sets of this turn tried before, and whether the
    // playlist starts with it.
    int turn_tries;
    bool turn_starts_playlist;
    // The named set the built-in one stands in for, and its stamps.
    char* stand_in_for;
    PassSetStamps stand_in_stamps;
    SetBuildDone done;

    // The build's own: one install per set it goes to.
    int install_count;
    unsigned set_serials[kMostMonitors];
    PendingInstall installs[kMostMonitors];
    BackgroundBuild compiles[kMostMonitors];
    // When it became the oldest, whose compiles run first, in ms.
    double oldest_since_ms;
    SetBuild* next;
};

// How long the oldest build's compiles may take before the player stops
// waiting for them: a driver's compiler can loop for ever.
constexpr double kCompilePatienceMs = 30000.0;

// A build of `path`, to be filled in and handed to begin_set_build.
SetBuild* new_set_build(const char* path, InstallRule rule, SetBuildReach reach, SetBuildDone done);
void begin_set_build(SetBuild* build);

// Installs every build whose compiles are done, oldest first, and tells
// each one's `done`; one that compiled for longer than the patience is
// left behind, not installed. A build waits for the ones asked before it.
// A set made while it built (a monitor that came) keeps what its monitor
// was given then.
void finish_set_builds();
bool set_builds_pending();
// The oldest build has compiled, or began its compiles less than
// kQuickCompileMs ago: most sets compile in that time, and they do it
// soonest with the machine to themselves, before the next frame.
constexpr double kQuickCompileMs = 300.0;
bool set_build_worth_waiting_for();
// The oldest build can be finished now: a frame drawn in bands gives way to
// it, so the set asked for is answered without waiting for the frame.
bool set_build_ready();
// The next look for finished builds, in ms, while some build.
int set_build_poll_ms();

// At teardown: the build thread ends (within `patience_ms`, or is left to
// the process's end), and what has not finished is dropped unannounced.
void stop_set_builds(int patience_ms);
