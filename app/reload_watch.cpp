#include "app/reload_watch.h"

#include <cstdlib>
#include <cstring>

#include "desktop/clock.h"
#include "desktop/platform_services.h"
#include "shader/pass_set.h"

static const int kSetFileCount = kPassCount + 1;  // Main and its companions

static char* watched_path = nullptr;
static PassSetStamps seen;
static bool change_pending = false;
static double last_change = 0.0;

PassSetStamps read_pass_set_stamps(const char* path) {
    PassSetStamps stamps = {};
    if (!path) return stamps;
    stamps.files[0] = read_file_stamp(path);
    for (int index = 1; index < kSetFileCount; ++index) {
        stamps.files[index] = read_file_stamp(companion_path(path, kCompanionSuffixes[index - 1]));
    }
    return stamps;
}

static bool same_stamp(const FileStamp& a, const FileStamp& b) {
    return a.exists == b.exists && (!a.exists || (a.size == b.size && a.write_time == b.write_time));
}

void watch_pass_set(const char* path, const PassSetStamps& stamps) {
    char* copy = path ? strdup(path) : nullptr;
    free(watched_path);
    watched_path = copy;
    change_pending = false;
    seen = stamps;
}

void watch_pass_set(const char* path) { watch_pass_set(path, read_pass_set_stamps(path)); }

const char* watched_pass_set() { return watched_path; }

void note_folder_change(double now) {
    if (!watched_path) return;
    change_pending = true;
    last_change = now;
}

double seconds_until_reload_check(double now) {
    if (!change_pending) return -1.0;
    const double left = kWritesSettleSeconds - elapsed_seconds_between(last_change, now);
    return left > 0.0 ? left : 0.0;
}

bool pass_set_changed_on_disk(double now) {
    if (seconds_until_reload_check(now) != 0.0) return false;
    change_pending = false;
    const PassSetStamps now_seen = read_pass_set_stamps(watched_path);
    bool changed = false;
    for (int index = 0; index < kSetFileCount; ++index) {
        if (!same_stamp(now_seen.files[index], seen.files[index])) changed = true;
    }
    seen = now_seen;
    return changed;
}
