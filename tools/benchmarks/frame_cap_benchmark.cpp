// Frame intervals the frame-rate cap gives the player's loop on this
// system's timers: the loop's own wait (messages and the waitable timer),
// without drawing, so the figures are the cap's alone.
//   lumenfold_frame_cap_benchmark [frames_per_second] [frames]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/frame_rate_cap.h"
#include "desktop/platform_services.h"

static double percentile(const std::vector<double>& sorted, double fraction) {
    const size_t index = static_cast<size_t>(fraction * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[index];
}

int main(int argc, char** argv) {
    const int rate = argc > 1 ? atoi(argv[1]) : 30;
    const int frames = argc > 2 ? atoi(argv[2]) : 300;
    if (rate <= 0 || frames < 2) return 2;
    start_frame_rate_cap();
    cap_frame_rate(rate);

    const double ticks_per_ms = static_cast<double>(read_performance_frequency()) / 1000.0;
    std::vector<double> intervals;
    int64_t previous = 0;
    while (static_cast<int>(intervals.size()) < frames) {
        if (!frame_may_start()) {
            HANDLE timer = frame_timer();
            ::MsgWaitForMultipleObjectsEx(timer ? 1 : 0, &timer, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            continue;
        }
        note_frame_start();
        const int64_t now = read_performance_counter();
        if (previous) intervals.push_back(static_cast<double>(now - previous) / ticks_per_ms);
        previous = now;
    }
    stop_frame_rate_cap();

    std::sort(intervals.begin(), intervals.end());
    double total = 0.0;
    for (double interval : intervals) total += interval;
    printf("  cap %d fps, %d frames: interval p50 %.2f ms, p99 %.2f ms, max %.2f ms; %.2f frames per second\n", rate,
           frames, percentile(intervals, 0.5), percentile(intervals, 0.99), intervals.back(),
           1000.0 * static_cast<double>(intervals.size()) / total);
    return 0;
}
