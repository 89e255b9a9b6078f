#pragma once
// Reload on save: while a pass set from files plays, a change to any of its
// files (Main, the four buffers, the common part; one appearing or going)
// installs it again. The folder's change notifications only say "look";
// editors write in bursts and through temporary files, so the look waits
// until the writes have settled and then compares the set's own files, and
// a change to any other file of the folder does nothing.

// Watches the set at `path`, as its files are now; null watches nothing
// (the built-in set).
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
