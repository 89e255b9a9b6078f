#pragma once
// Reload on save: while a pass set from files plays, a change to any of its
// files (Main, the four buffers, the common part; one appearing or going)
// installs it again. The folder's change notifications only say "look";
// editors write in bursts and through temporary files, so the look waits
// until the writes have settled and then compares the set's own files, and
// a change to any other file of the folder does nothing.

#include "desktop/platform_services.h"
#include "shader/pass_set.h"

// What the set's files (Main, then its companions) looked like at one time.
struct PassSetStamps {
    FileStamp files[kPassCount + 1];
};
PassSetStamps read_pass_set_stamps(const char* path);

// Watches the set at `path` as `stamps` saw it. Taken before the files are
// read for a build, they make a save that lands during the build a change,
// which the next look finds. Null watches nothing (the built-in set).
void watch_pass_set(const char* path, const PassSetStamps& stamps);
// The same, as the files are now.
void watch_pass_set(const char* path);
// The watched set, or null.
const char* watched_pass_set();

// Something in the watched folder changed, `now` in seconds.
void note_folder_change(double now);

// Seconds until the writes count as settled and the files should be looked
// at, or a negative number when no look is due.
double seconds_until_reload_check(double now);

// True when the writes have settled and one of the set's files differs
// from what was seen last; what is seen now becomes the new reference, so a
// broken save is not tried again until the files change once more.
bool pass_set_changed_on_disk(double now);

constexpr double kWritesSettleSeconds = 0.15;
