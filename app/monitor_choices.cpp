#include "app/monitor_choices.h"

#include <cstdlib>
#include <cstring>

#include "app/monitor_layout.h"

struct MonitorChoice {
    char* identity;
    char* path;
};

// More monitors than are ever plugged at once may have been seen: a laptop
// docks at home and at work.
static const int kRememberedMonitors = 4 * kMostMonitors;
static MonitorChoice choices[kRememberedMonitors];
static int choice_count = 0;

static char* copy_of(const char* text) { return text ? strdup(text) : nullptr; }

static int find_choice(const char* identity) {
    for (int index = 0; index < choice_count; ++index) {
        if (strcmp(choices[index].identity, identity) == 0) return index;
    }
    return -1;
}

static void drop_choice(int index) {
    free(choices[index].identity);
    free(choices[index].path);
    choices[index] = choices[--choice_count];
}

void remember_monitor_choice(const char* identity, const char* path) {
    if (!identity || !*identity) return;
    const int existing = find_choice(identity);
    if (existing >= 0) drop_choice(existing);
    // The oldest choice makes room: it belongs to a monitor not seen for long.
    if (choice_count == kRememberedMonitors) drop_choice(0);
    choices[choice_count++] = MonitorChoice{copy_of(identity), copy_of(path)};
}

void forget_monitor_choices() {
    while (choice_count > 0) drop_choice(choice_count - 1);
}

bool monitor_choice(const char* identity, const char** path) {
    const int index = identity ? find_choice(identity) : -1;
    if (index < 0) return false;
    *path = choices[index].path;
    return true;
}
