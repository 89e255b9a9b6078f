#include "shader/builtin_pass_set.h"

#include <cstdint>

// Embedded from assets/passes by the build, each ending with a zero byte.
extern const unsigned char embedded_main_glsl[];
extern const unsigned char embedded_buffer_a_glsl[];
extern const unsigned char embedded_buffer_b_glsl[];
extern const unsigned char embedded_buffer_c_glsl[];
extern const unsigned char embedded_buffer_d_glsl[];

static const char* as_text(const unsigned char* bytes) { return reinterpret_cast<const char*>(bytes); }

PassSetSources builtin_pass_set_sources() {
    PassSetSources sources = {};
    sources.texts[kMainPass] = as_text(embedded_main_glsl);
    sources.texts[kBufferAPass] = as_text(embedded_buffer_a_glsl);
    sources.texts[kBufferBPass] = as_text(embedded_buffer_b_glsl);
    sources.texts[kBufferCPass] = as_text(embedded_buffer_c_glsl);
    sources.texts[kBufferDPass] = as_text(embedded_buffer_d_glsl);
    return sources;
}
