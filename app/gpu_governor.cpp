#include "app/gpu_governor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

static const int kLowestScale = 25;
static const double kScaleStep = 0.84;
static const double kFrameRateStep = 0.75;
static const double kOverBudgetAtOnce = 1.5;
static const double kLongestFrameMs = 100.0;
static const double kStepUpHeadroom = 0.8;
static const double kSecondsBetweenChanges = 1.0;
static const double kMedianSeconds = 2.0;
static const double kRecentSeconds = 1.0;
static const double kFittingSeconds = 3.0;
// A step up that has to be taken back within this long failed.
static const double kFailedStepSeconds = 10.0;
static const double kFirstRefusalSeconds = 60.0;
static const double kLongestRefusalSeconds = 960.0;
// A gap longer than the frame's own GPU time by this much is a rest, not a
// frame interval.
static const double kLongestIdleSeconds = 1.0;

static void add_level(GpuGovernor* governor, int scale, int frames_per_second) {
    if (governor->level_count == kMostGovernorLevels) return;
    governor->levels[governor->level_count++] = GovernorLevel{scale, frames_per_second};
}

static void build_levels(GpuGovernor* governor, int user_scale, int frame_rate_cap) {
    int scale = user_scale;
    add_level(governor, scale, frame_rate_cap);
    while (scale > kLowestScale) {
        scale = std::max(kLowestScale, static_cast<int>(std::lround(scale * kScaleStep)));
        add_level(governor, scale, frame_rate_cap);
    }
    int rate = frame_rate_cap;
    while (rate > kLowestGovernedFrameRate) {
        rate = std::max(kLowestGovernedFrameRate, static_cast<int>(std::lround(rate * kFrameRateStep)));
        add_level(governor, scale, rate);
    }
}

void start_gpu_governor(GpuGovernor* governor, int budget_percent, int user_scale, int frame_rate_cap, double now) {
    memset(governor, 0, sizeof *governor);
    governor->budget_percent = budget_percent;
    build_levels(governor, user_scale, frame_rate_cap > 0 ? frame_rate_cap : 60);
    governor->last_change_at = now;
    governor->fitting_since = -1.0;
    governor->previous_issued_at = -1.0;
    governor->refused_level = -1;
    governor->refusal_seconds = kFirstRefusalSeconds;
}

void forget_failed_steps(GpuGovernor* governor) {
    governor->refused_level = -1;
    governor->refusal_seconds = kFirstRefusalSeconds;
}

GovernorLevel governed_level(const GpuGovernor& governor) { return governor.levels[governor.level]; }

bool governor_on(const GpuGovernor& governor) { return governor.budget_percent > 0; }

static const GovernorSample& sample_at(const GpuGovernor& governor, int age) {
    return governor.samples[(governor.first + age) % kGovernorSampleCount];
}

static void add_sample(GpuGovernor* governor, const GovernorSample& sample) {
    if (governor->count == kGovernorSampleCount) {
        governor->first = (governor->first + 1) % kGovernorSampleCount;
        --governor->count;
    }
    governor->samples[(governor->first + governor->count) % kGovernorSampleCount] = sample;
    ++governor->count;
}

// The value that `fraction` of the values do not exceed.
static double quantile(double* values, int count, double fraction) {
    if (count == 0) return 0.0;
    const int index = std::min(count - 1, static_cast<int>(fraction * count));
    std::nth_element(values, values + index, values + count);
    return values[index];
}

struct Measured {
    double share;  // median, 0..1
    double frame_ms;  // median
    double dear_frame_ms;  // the upper quartile: what a step up is judged by
    int frames;
};

// Frames issued since `since`, and at least the newest: a frame that takes
// longer than the window is still measured.
static Measured measure_since(const GpuGovernor& governor, double since) {
    if (governor.count > 0) since = std::min(since, sample_at(governor, governor.count - 1).issued_at);
    double shares[kGovernorSampleCount];
    double frames[kGovernorSampleCount];
    Measured measured = {0.0, 0.0, 0.0, 0};
    for (int age = 0; age < governor.count; ++age) {
        const GovernorSample& sample = sample_at(governor, age);
        if (sample.issued_at < since) continue;
        shares[measured.frames] = sample.share;
        frames[measured.frames] = sample.frame_ms;
        ++measured.frames;
    }
    measured.share = quantile(shares, measured.frames, 0.5);
    measured.frame_ms = quantile(frames, measured.frames, 0.5);
    measured.dear_frame_ms = quantile(frames, measured.frames, 0.75);
    return measured;
}

static double pixels_of(const GovernorLevel& level) {
    return static_cast<double>(level.scale_percent) * level.scale_percent;
}

// What the frames measured at the present level would cost at `level`, as a
// share of the GPU's time: by pixel count, at that level's frame rate. It
// assumes the frames come as fast as the cap lets them, so it errs high.
static double predicted_share(const GpuGovernor& governor, double measured_frame_ms, int level) {
    const GovernorLevel& now = governor.levels[governor.level];
    const GovernorLevel& then = governor.levels[level];
    const double frame_ms = measured_frame_ms * pixels_of(then) / pixels_of(now);
    return std::min(1.0, frame_ms * then.frames_per_second / 1000.0);
}

static double budget_share(const GpuGovernor& governor) { return governor.budget_percent / 100.0; }

// Far enough down for the prediction to fit the budget, at least one step:
// a set several times too heavy is answered by one change, not by many.
static int level_that_fits(const GpuGovernor& governor, const Measured& measured) {
    int level = governor.level + 1;
    while (level + 1 < governor.level_count && predicted_share(governor, measured.frame_ms, level) > budget_share(governor)) {
        ++level;
    }
    return level;
}

// The failed level and every dearer one wait; each failure doubles the wait.
static void refuse_failed_step_up(GpuGovernor* governor, int level, double now) {
    const bool down = level > governor->level;
    if (!down || !governor->last_change_was_up || now - governor->last_change_at >= kFailedStepSeconds) return;
    if (governor->refused_level >= 0) {
        governor->refusal_seconds = std::min(2.0 * governor->refusal_seconds, kLongestRefusalSeconds);
    }
    governor->refused_level = std::max(governor->refused_level, governor->level);
    governor->refused_until = now + governor->refusal_seconds;
}

static void change_to(GpuGovernor* governor, int level, const Measured& measured, double now,
                      GovernorChange* change) {
    refuse_failed_step_up(governor, level, now);
    governor->last_change_was_up = level < governor->level;
    const GovernorLevel& before = governor->levels[governor->level];
    change->frame_ms = measured.frame_ms;
    change->budget_frame_ms = budget_share(*governor) * 1000.0 / before.frames_per_second;
    governor->level = level;
    change->level = governor->levels[level];
    governor->last_change_at = now;
    governor->fitting_since = -1.0;
    governor->count = 0;
    governor->first = 0;
}

static bool step_down_wanted(const GpuGovernor& governor, double now) {
    const double budget = budget_share(governor);
    const Measured recent = measure_since(governor, now - kRecentSeconds);
    // Medians, so one frame that stalled (a first draw that compiles, say)
    // moves nothing; a frame longer than the window is measured alone.
    if (recent.frames > 0 && (recent.share > kOverBudgetAtOnce * budget || recent.frame_ms > kLongestFrameMs)) {
        return true;
    }
    if (now - governor.last_change_at < kMedianSeconds) return false;
    return measure_since(governor, now - kMedianSeconds).share > budget;
}

// The step back up must be predicted to fit with room to spare, without a
// break, for three seconds, judged by the dearer frames: a cost that
// wavers must fit at its worst, or it would step up and down with the
// waves.
static bool step_up_fits(GpuGovernor* governor, double now) {
    if (governor->level - 1 <= governor->refused_level && now < governor->refused_until) return false;
    const Measured recent = measure_since(*governor, now - kRecentSeconds);
    const bool fits = recent.frames > 0 && now - governor->last_change_at >= kRecentSeconds &&
                      predicted_share(*governor, recent.dear_frame_ms, governor->level - 1) < kStepUpHeadroom * budget_share(*governor);
    if (!fits) {
        governor->fitting_since = -1.0;
        return false;
    }
    if (governor->fitting_since < 0.0) governor->fitting_since = now;
    return now - governor->fitting_since >= kFittingSeconds;
}

bool govern_frame(GpuGovernor* governor, double issued_at, double frame_ms, double now, GovernorChange* change) {
    if (!governor_on(*governor) || issued_at < governor->last_change_at) return false;
    // The first frame has no interval of its own: it took what the cap
    // or its own cost made it take.
    const double period = 1.0 / governor->levels[governor->level].frames_per_second;
    const double interval = governor->previous_issued_at < 0.0 ? std::max(period, frame_ms / 1000.0)
                                                                : issued_at - governor->previous_issued_at;
    governor->previous_issued_at = issued_at;
    if (interval <= 0.0 || interval > frame_ms / 1000.0 + kLongestIdleSeconds) return false;
    add_sample(governor, GovernorSample{issued_at, frame_ms, std::min(1.0, frame_ms / (interval * 1000.0))});

    if (now - governor->last_change_at < kSecondsBetweenChanges) return false;
    if (governor->level + 1 < governor->level_count && step_down_wanted(*governor, now)) {
        const Measured measured = measure_since(*governor, now - kMedianSeconds);
        change_to(governor, level_that_fits(*governor, measured), measured, now, change);
        return true;
    }
    if (governor->level > 0 && step_up_fits(governor, now)) {
        const Measured measured = measure_since(*governor, now - kRecentSeconds);
        change_to(governor, governor->level - 1, measured, now, change);
        return true;
    }
    return false;
}
