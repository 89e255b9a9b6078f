#include "app/gpu_budget.h"

#include "app/frame_rate_cap.h"
#include "app/gpu_governor.h"
#include "app/player_sets.h"
#include "base/log.h"
#include "desktop/platform_services.h"

static GpuGovernor governor = {};
static int followed_budget = -1;
static int followed_scale = -1;
static int followed_cap = -1;
static long long frames_seen = 0;

void follow_gpu_budget(int budget_percent, int user_scale) {
    const int cap = frame_rate_cap_now();
    if (budget_percent == followed_budget && user_scale == followed_scale && cap == followed_cap) return;
    // The user's own new scale starts the sets afresh, as it always did; a
    // new budget or cap only moves the governor's levers back.
    if (user_scale != followed_scale) {
        set_player_render_scale(user_scale);
    } else {
        rescale_player_sets_keeping_pictures(user_scale);
    }
    followed_budget = budget_percent;
    followed_scale = user_scale;
    followed_cap = cap;
    start_gpu_governor(&governor, budget_percent, user_scale, cap, current_time_seconds());
    hold_frame_rate_to(0);
}

void gpu_budget_meets_new_set() { forget_failed_steps(&governor); }

bool gpu_budget_holds(int* scale_percent, int* frames_per_second) {
    if (!governor_on(governor)) return false;
    const GovernorLevel level = governed_level(governor);
    *scale_percent = level.scale_percent;
    *frames_per_second = level.frames_per_second;
    return true;
}

// Every drawing record's newest measured frame, together: the sets draw in the same
// loop turn, so their newest results belong to the same frame or nearly.
// False while no set has measured a frame since the last look.
static bool newest_frame_of_every_set(double* issued_at, double* frame_ms) {
    long long measured = 0;
    *issued_at = 0.0;
    *frame_ms = 0.0;
    // A fade draws two records on one monitor: both cost.
    for (int index = 0; index < playing_record_count(); ++index) {
        const PassTimings& timings = playing_record(index)->timings;
        if (timings.frames_measured == 0) continue;
        measured += timings.frames_measured;
        *frame_ms += timings.latest_frame_ms;
        if (*issued_at == 0.0 || timings.latest_frame_issued_at < *issued_at) *issued_at = timings.latest_frame_issued_at;
    }
    if (measured == frames_seen) return false;
    frames_seen = measured;
    return measured > 0;
}

void govern_gpu_budget() {
    // A cap that follows a new display begins the search afresh.
    if (followed_budget < 0) return;
    if (frame_rate_cap_now() != followed_cap) follow_gpu_budget(followed_budget, followed_scale);
    if (!governor_on(governor)) return;
    double issued_at = 0.0;
    double frame_ms = 0.0;
    if (!newest_frame_of_every_set(&issued_at, &frame_ms)) return;
    GovernorChange change;
    if (!govern_frame(&governor, issued_at, frame_ms, current_time_seconds(), &change)) return;
    rescale_player_sets_keeping_pictures(change.level.scale_percent);
    hold_frame_rate_to(change.level.frames_per_second);
    log_message("gpu budget: scale %d %%, %d fps (%.1f ms per frame against %.1f)", change.level.scale_percent,
                change.level.frames_per_second, change.frame_ms, change.budget_frame_ms);
}
