#include "render/pass_bands.h"

#include <GL/glew.h>

#include <cmath>

#include "render/frame_fence.h"

static BetweenBands between_bands = nullptr;
static void* between_context = nullptr;

void look_between_bands(BetweenBands between, void* context) {
    between_bands = between;
    between_context = context;
}

bool bands_wanted() { return between_bands != nullptr; }

int band_count_for(double last_draw_ms, int rows, bool banded_last) {
    if (rows <= 1) return 1;
    if (last_draw_ms < 0.0) return kUnmeasuredBands < rows ? kUnmeasuredBands : rows;
    if (!(last_draw_ms > (banded_last ? kBandMs : 2.0 * kBandMs))) return 1;
    const double wanted = std::ceil(last_draw_ms / kBandMs);
    return wanted >= rows ? rows : static_cast<int>(wanted);
}

// A look at the messages at least this often while a band draws.
static const uint64_t kLookEveryNs = 2000000;

// Until the band before has been drawn, or the frame gives way.
static bool wait_while_looking(FrameFence* fence) {
    for (;;) {
        if (between_bands && between_bands(between_context)) return false;
        if (frame_fence_passed(fence, kLookEveryNs)) return true;
    }
}

void begin_band_run(BandRun* run) {
    glEnable(GL_SCISSOR_TEST);
    run->drawing = FrameFence{nullptr};
    run->went_on = true;
}

bool draw_band(BandRun* run, int columns, int rows, int first_row, int end_row, void (*draw)()) {
    if (!run->went_on) return false;
    // Set again for every band: what the loop handled in between may have
    // set it for a resized window.
    glViewport(0, 0, columns, rows);
    glScissor(0, first_row, columns, end_row - first_row);
    draw();
    // One band queued behind the one drawn, so the GL never idles while the
    // loop looks at its messages.
    FrameFence queued = {nullptr};
    place_frame_fence(&queued);
    run->went_on = wait_while_looking(&run->drawing);
    drop_frame_fence(&run->drawing);
    run->drawing = queued;
    return run->went_on;
}

bool end_band_run(BandRun* run) {
    drop_frame_fence(&run->drawing);
    glDisable(GL_SCISSOR_TEST);
    return run->went_on;
}

bool draw_in_bands(int columns, int rows, int bands, void (*draw)()) {
    if (bands <= 1) {
        draw();
        return true;
    }
    BandRun run;
    begin_band_run(&run);
    for (int band = 0; band < bands; ++band) {
        const int first_row = static_cast<int>(static_cast<long long>(rows) * band / bands);
        const int end_row = static_cast<int>(static_cast<long long>(rows) * (band + 1) / bands);
        if (!draw_band(&run, columns, rows, first_row, end_row, draw)) break;
    }
    return end_band_run(&run);
}
