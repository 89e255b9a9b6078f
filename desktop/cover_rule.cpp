#include "desktop/cover_rule.h"

#include <cstdint>
#include <cstring>

// QUNS_RUNNING_D3D_FULL_SCREEN and QUNS_PRESENTATION_MODE.
static const int kRunningFullScreen = 3;
static const int kPresentationMode = 4;

static int64_t overlap(int begin_a, int end_a, int begin_b, int end_b) {
    const int begin = begin_a > begin_b ? begin_a : begin_b;
    const int end = end_a < end_b ? end_a : end_b;
    return end > begin ? end - begin : 0;
}

static bool same_rect(const PixelRect& a, const PixelRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool foreground_covers(const ForegroundFacts& facts, const PixelRect& monitor) {
    if (!facts.can_cover) return false;
    if (facts.maximised && same_rect(facts.monitor, monitor)) return true;
    const int64_t screen_area =
        static_cast<int64_t>(monitor.right - monitor.left) * static_cast<int64_t>(monitor.bottom - monitor.top);
    if (screen_area <= 0) return false;
    const int64_t covered = overlap(facts.rect.left, facts.rect.right, monitor.left, monitor.right) *
                            overlap(facts.rect.top, facts.rect.bottom, monitor.top, monitor.bottom);
    return covered * 10 >= screen_area * 9;
}

bool notification_state_covers(int state) { return state == kRunningFullScreen || state == kPresentationMode; }

bool is_shell_desktop_class(const char* class_name) {
    static const char* const kShellClasses[] = {"Progman", "WorkerW", "Shell_TrayWnd", "Shell_SecondaryTrayWnd",
                                                "SHELLDLL_DefView"};
    for (const char* shell_class : kShellClasses) {
        if (strcmp(class_name, shell_class) == 0) return true;
    }
    return false;
}
