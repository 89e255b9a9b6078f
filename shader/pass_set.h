#pragma once
// A pass set's sources, from files or from the built-in set, built into
// programs and channel textures.

#include <GL/glew.h>

#include <cstddef>

#include "shader/channel_sampling.h"

constexpr int kPassCount = 6;        // Main, BufferA..BufferD, CubeA
constexpr int kChannelsPerPass = 4;  // iChannel0..iChannel3
constexpr int kChannelBindingCount = kPassCount * kChannelsPerPass;
constexpr int kCommonPartIndex = kPassCount;  // after the passes in PassSetSources

// CubeA draws the six faces of a cubemap with mainCubemap, after the
// buffers and before Main.
enum PassIndex {
    kMainPass = 0,
    kBufferAPass = 1,
    kBufferBPass = 2,
    kBufferCPass = 3,
    kBufferDPass = 4,
    kCubeAPass = 5
};

// Main, BufferA, BufferB, BufferC, BufferD, CubeA, then the common part; any
// may be null.
struct PassSetSources {
    const char* texts[kPassCount + 1];
};

// Programs in pass order; channel c of pass p at 4p + c. 0 means none.
struct PassSetResult {
    GLuint programs[kPassCount];
    GLuint channels[kChannelBindingCount];
    // The options each directive gave, at the same places.
    ChannelSampling sampling[kChannelBindingCount];
    // What kind of texture each channel reads; 0 (as unnamed channels have
    // it) reads a 2D one.
    GLenum channel_targets[kChannelBindingCount];
    // Passes whose text was there but did not build.
    int failed_passes;
};

// A set read and assembled: its directives resolved through the channel
// table, which only the loop's thread touches, and each pass's whole text.
// Its compile needs only a context that shares objects, on any thread.
struct PreparedPassSet {
    PassSetResult result;  // no programs yet
    // Owned; null where the set has no such pass.
    char* assembled_texts[kPassCount];
};

extern const char* const kPassNames[kPassCount];

// Companions of BufferA..BufferD, CubeA and of the common part, in source
// order.
extern const char* const kCompanionSuffixes[kPassCount];

PassSetResult build_pass_set(const PassSetSources& sources);
PassSetResult load_pass_set_files(const char* path);

// The same in two steps: what needs the loop's thread, then the compile.
PreparedPassSet prepare_pass_set(const PassSetSources& sources);
PreparedPassSet prepare_pass_set_files(const char* path);
// Builds the passes in order, Main first: without Main the buffers have
// nothing to feed and are not built. The texts are freed.
void compile_prepared_pass_set(PreparedPassSet* prepared);
// Deletes whatever the compile built and frees what it left.
void discard_prepared_pass_set(PreparedPassSet* prepared);

// The companion file of `path` with `suffix` ("a.glsl" …), formed in a
// per-thread buffer that the next call replaces. Null when there is no path
// (or no memory for the name).
const char* companion_path(const char* path, const char* suffix);

// The whole file as a zero-terminated text the caller frees, or null when it
// cannot be read whole; `size` (when given) receives its bytes, zero bytes
// within it included.
char* read_whole_file(const char* path, size_t* size = nullptr);

// The longest pass text a file may hold: a longer one is refused by name.
constexpr size_t kPassTextLimit = 0x100000;
