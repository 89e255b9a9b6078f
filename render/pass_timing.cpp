#include "render/pass_timing.h"

#include <algorithm>
#include <cstring>

#include "desktop/platform_services.h"

static const double kMedianWindowSeconds = 1.0;

static bool finishing_passes = false;

void time_passes_by_finishing(bool finishing) { finishing_passes = finishing; }

static double counter_seconds() {
    return static_cast<double>(read_performance_counter()) / static_cast<double>(read_performance_frequency());
}

void create_pass_timings(PassTimings* timings) {
    memset(timings, 0, sizeof *timings);
    for (TimedFrameSlot& slot : timings->slots) glCreateQueries(GL_TIMESTAMP, 2 * kPassCount, &slot.queries[0][0]);
    timings->current_slot = -1;
    timings->created = true;
    timings->by_finishing = finishing_passes;
    forget_latest_pass_ms(timings);
}

void forget_latest_pass_ms(PassTimings* timings) {
    for (double& ms : timings->latest_pass_ms) ms = kNotMeasured;
}

void delete_pass_timings(PassTimings* timings) {
    if (!timings->created) return;
    for (TimedFrameSlot& slot : timings->slots) glDeleteQueries(2 * kPassCount, &slot.queries[0][0]);
    memset(timings, 0, sizeof *timings);
    timings->current_slot = -1;
}

static void add_sample(PassSampleRing* ring, double at_seconds, double gpu_ms) {
    ring->samples[ring->next] = PassSample{at_seconds, gpu_ms};
    ring->next = (ring->next + 1) % kPassSampleCount;
    if (ring->count < kPassSampleCount) ++ring->count;
}

static bool results_available(const TimedFrameSlot& slot, bool by_finishing) {
    if (by_finishing) return true;
    for (int pass = 0; pass < kPassCount; ++pass) {
        if (!slot.timed[pass]) continue;
        GLint available = 0;
        glGetQueryObjectiv(slot.queries[pass][1], GL_QUERY_RESULT_AVAILABLE, &available);
        if (!available) return false;
    }
    return true;
}

static void read_slot(PassTimings* timings, TimedFrameSlot* slot) {
    double frame_ms = 0.0;
    for (int pass = 0; pass < kPassCount; ++pass) {
        if (!slot->timed[pass]) continue;
        GLuint64 begin = 0;
        GLuint64 end = 0;
        if (!timings->by_finishing) {
            glGetQueryObjectui64v(slot->queries[pass][0], GL_QUERY_RESULT, &begin);
            glGetQueryObjectui64v(slot->queries[pass][1], GL_QUERY_RESULT, &end);
        }
        const double ms = timings->by_finishing ? slot->finished_ms[pass]
                          : end > begin         ? static_cast<double>(end - begin) / 1.0e6
                                                : 0.0;
        add_sample(&timings->passes[pass], slot->issued_at_seconds, ms);
        timings->latest_pass_ms[pass] = ms;
        frame_ms += ms;
    }
    add_sample(&timings->frames, slot->issued_at_seconds, frame_ms);
    timings->latest_frame_ms = frame_ms;
    timings->latest_frame_issued_at = slot->issued_at_seconds;
    ++timings->frames_measured;
    slot->pending = false;
}

// Oldest first, so results are taken in the order the frames were issued.
static void read_arrived_results(PassTimings* timings, bool wait) {
    for (int age = 0; age < kTimedFrameSlots; ++age) {
        TimedFrameSlot* slot = &timings->slots[(timings->next_slot + age) % kTimedFrameSlots];
        if (!slot->pending) continue;
        if (!wait && !results_available(*slot, timings->by_finishing)) return;
        read_slot(timings, slot);
    }
}

void begin_timed_frame(PassTimings* timings, double now_seconds) {
    timings->current_slot = -1;
    if (!timings->created) return;
    read_arrived_results(timings, false);
    TimedFrameSlot* slot = &timings->slots[timings->next_slot];
    if (slot->pending) return;
    memset(slot->timed, 0, sizeof slot->timed);
    slot->issued_at_seconds = now_seconds;
    timings->current_slot = timings->next_slot;
}

void begin_timed_pass(PassTimings* timings, int pass) {
    if (timings->current_slot < 0) return;
    TimedFrameSlot* slot = &timings->slots[timings->current_slot];
    if (timings->by_finishing) {
        glFinish();
        slot->began_at[pass] = counter_seconds();
        return;
    }
    glQueryCounter(slot->queries[pass][0], GL_TIMESTAMP);
}

void end_timed_pass(PassTimings* timings, int pass) {
    if (timings->current_slot < 0) return;
    TimedFrameSlot* slot = &timings->slots[timings->current_slot];
    if (timings->by_finishing) {
        glFinish();
        slot->finished_ms[pass] = (counter_seconds() - slot->began_at[pass]) * 1000.0;
    } else {
        glQueryCounter(slot->queries[pass][1], GL_TIMESTAMP);
    }
    slot->timed[pass] = true;
}

void end_timed_frame(PassTimings* timings) {
    if (timings->current_slot < 0) return;
    TimedFrameSlot* slot = &timings->slots[timings->current_slot];
    bool any_timed = false;
    for (bool timed : slot->timed) any_timed = any_timed || timed;
    slot->pending = any_timed;
    if (any_timed) timings->next_slot = (timings->next_slot + 1) % kTimedFrameSlots;
    timings->current_slot = -1;
    // Finished passes are measured already: nothing to wait a frame for.
    if (timings->by_finishing && any_timed) read_slot(timings, slot);
}

void abandon_timed_frame(PassTimings* timings) {
    if (timings->current_slot < 0) return;
    memset(timings->slots[timings->current_slot].timed, 0, sizeof timings->slots[timings->current_slot].timed);
    timings->current_slot = -1;
}

void collect_pass_timings(PassTimings* timings) {
    if (timings->created) read_arrived_results(timings, true);
}

double latest_pass_ms(const PassTimings& timings, int pass) { return timings.latest_pass_ms[pass]; }

static double median_of(double* values, int count) {
    if (count == 0) return 0.0;
    std::nth_element(values, values + count / 2, values + count);
    const double upper = values[count / 2];
    if (count % 2) return upper;
    return (upper + *std::max_element(values, values + count / 2)) / 2.0;
}

static double median_since(const PassSampleRing& ring, double since_seconds) {
    double values[kPassSampleCount];
    int count = 0;
    for (int index = 0; index < ring.count; ++index) {
        const PassSample& sample = ring.samples[index];
        if (sample.at_seconds >= since_seconds) values[count++] = sample.gpu_ms;
    }
    return median_of(values, count);
}

double median_pass_ms(const PassTimings& timings, int pass, double now_seconds) {
    return median_since(timings.passes[pass], now_seconds - kMedianWindowSeconds);
}

double median_pass_ms_of_all(const PassTimings& timings, int pass) {
    return median_since(timings.passes[pass], -1.0e300);
}

double median_frame_ms_of_all(const PassTimings& timings) { return median_since(timings.frames, -1.0e300); }
