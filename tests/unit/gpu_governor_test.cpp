// The GPU budget's governor over made-up frames: a set costs `full_ms` of
// GPU time per frame at 100 %, its cost follows the pixel count, and frames
// come as fast as the cap and the GPU let them.
#include <gtest/gtest.h>

#include <vector>

#include "app/gpu_governor.h"

namespace {

struct Change {
    double at;
    GovernorLevel level;
};

struct Bench {
    GpuGovernor governor;
    double now = 0.0;
    std::vector<Change> changes;
    unsigned noise_seed = 12345;
};

typedef double (*FullCost)(double now);

double noise(Bench* bench, double spread) {
    bench->noise_seed = bench->noise_seed * 1103515245u + 12345u;
    const double unit = ((bench->noise_seed >> 8) & 0xffff) / 65535.0;
    return 1.0 + spread * (2.0 * unit - 1.0);
}

// Frames until `until`; each result reaches the governor one frame late,
// as the player reads its queries.
void play(Bench* bench, double until, FullCost full_ms, double spread = 0.0) {
    double pending_at = -1.0;
    double pending_ms = 0.0;
    while (bench->now < until) {
        const GovernorLevel level = governed_level(bench->governor);
        const double pixels = level.scale_percent / 100.0 * level.scale_percent / 100.0;
        const double frame_ms = full_ms(bench->now) * pixels * noise(bench, spread);
        GovernorChange change;
        if (pending_at >= 0.0 && govern_frame(&bench->governor, pending_at, pending_ms, bench->now, &change)) {
            bench->changes.push_back(Change{bench->now, change.level});
        }
        pending_at = bench->now;
        pending_ms = frame_ms;
        const double period_ms = 1000.0 / level.frames_per_second;
        bench->now += (frame_ms > period_ms ? frame_ms : period_ms) / 1000.0;
    }
}

int changes_between(const Bench& bench, double from, double to) {
    int count = 0;
    for (const Change& change : bench.changes) count += change.at >= from && change.at < to;
    return count;
}

double steady_40(double) { return 40.0; }
double quadruples_at_20_and_falls_back_at_40(double now) { return now >= 20.0 && now < 40.0 ? 40.0 : 10.0; }
// A quarter of the GPU's time at 60 frames per second.
double at_the_budget(double) { return 0.25 * 1000.0 / 60.0; }
double very_heavy(double) { return 5000.0; }

}  // namespace

TEST(GpuGovernor, ASteadyCostSettlesWithinFiveSecondsAndStaysPut) {
    Bench bench;
    start_gpu_governor(&bench.governor, 25, 100, 60, 0.0);
    play(&bench, 65.0, steady_40);
    ASSERT_GE(changes_between(bench, 0.0, 5.0), 1);
    EXPECT_EQ(changes_between(bench, 5.0, 65.0), 0);
    const GovernorLevel settled = governed_level(bench.governor);
    const double share = 40.0 * settled.scale_percent * settled.scale_percent / 1.0e4 * settled.frames_per_second / 1000.0;
    EXPECT_LE(share, 0.25) << settled.scale_percent << " %";
    EXPECT_GT(share / 0.7056, 0.8 * 0.25) << "one step up would not have fitted: it settled as high as it could";
}

TEST(GpuGovernor, ACostThatQuadruplesIsAnsweredWithinTwoSecondsAndOneThatFallsBackWithinSix) {
    Bench bench;
    start_gpu_governor(&bench.governor, 25, 100, 60, 0.0);
    play(&bench, 60.0, quadruples_at_20_and_falls_back_at_40);
    EXPECT_EQ(changes_between(bench, 10.0, 20.0), 0) << "settled before the change";
    ASSERT_GE(changes_between(bench, 20.0, 22.0), 1);
    EXPECT_LT(bench.changes[bench.changes.size() - 1].level.scale_percent, 100);
    ASSERT_GE(changes_between(bench, 40.0, 46.0), 1);
    int before_fall = 100;
    int after_fall = 0;
    for (const Change& change : bench.changes) {
        if (change.at < 40.0) before_fall = change.level.scale_percent;
        if (change.at >= 40.0 && !after_fall) after_fall = change.level.scale_percent;
    }
    EXPECT_GT(after_fall, before_fall) << "stepped back up";
}

TEST(GpuGovernor, ACostJustAtTheBudgetDoesNotOscillate) {
    Bench bench;
    start_gpu_governor(&bench.governor, 25, 100, 60, 0.0);
    play(&bench, 60.0, at_the_budget, 0.05);
    EXPECT_LE(bench.changes.size(), 2u);
}

TEST(GpuGovernor, TheFrameRateGoesDownOnlyAtTheSmallestScaleAndNoFurtherThanFifteen) {
    Bench bench;
    start_gpu_governor(&bench.governor, 10, 100, 60, 0.0);
    play(&bench, 120.0, very_heavy);
    ASSERT_FALSE(bench.changes.empty());
    for (const Change& change : bench.changes) {
        if (change.level.frames_per_second < 60) {
            EXPECT_EQ(change.level.scale_percent, 25);
        }
    }
    EXPECT_EQ(governed_level(bench.governor).frames_per_second, kLowestGovernedFrameRate);

    GpuGovernor off;
    start_gpu_governor(&off, 0, 100, 60, 0.0);
    GovernorChange change;
    for (int frame = 1; frame < 600; ++frame) EXPECT_FALSE(govern_frame(&off, frame * 0.1, 5000.0, frame * 0.1 + 0.1, &change));
}

namespace {
// The frames grow dearer the more of them come (on the bench's software
// GPU, the rasteriser's threads compete with everything else): the step up
// that the pixel count predicts to fit, at 32 %, takes 57 %.
double dearer_with_the_rate(const GpuGovernor& governor) {
    const double rate = governed_level(governor).frames_per_second;
    return 16.0 * (rate / 15.0) * (rate / 15.0);
}
}  // namespace

TEST(GpuGovernor, AStepUpThatHadToBeTakenBackIsNotTriedAgainAndAgain) {
    Bench bench;
    start_gpu_governor(&bench.governor, 50, 25, 20, 0.0);
    double pending_at = -1.0;
    double pending_ms = 0.0;
    while (bench.now < 120.0) {
        GovernorChange change;
        if (pending_at >= 0.0 && govern_frame(&bench.governor, pending_at, pending_ms, bench.now, &change)) {
            bench.changes.push_back(Change{bench.now, change.level});
        }
        pending_at = bench.now;
        pending_ms = dearer_with_the_rate(bench.governor);
        bench.now += 1.0 / governed_level(bench.governor).frames_per_second;
    }
    EXPECT_GE(changes_between(bench, 0.0, 20.0), 2) << "it did try the step up";
    EXPECT_LE(changes_between(bench, 20.0, 120.0), 2) << bench.changes.size() << " changes in all";
}
