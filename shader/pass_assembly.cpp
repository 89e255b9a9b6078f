#include "shader/pass_assembly.h"

#include <cstdio>
#include <cstdlib>

#include "base/thread_buffer.h"
#include "shader/desktop_keywords.h"
#include "shader/pass_set.h"

const char kPassVertexText[] =
    "precision highp float;\n"
    "precision highp int;\n"
    "layout (location = 0) in vec3 vPos;\n"
    "layout (location = 1) in vec2 vUV;\n"
    "void main() {\n"
    "    gl_Position = vec4(vPos.xyz, 1.0f);\n"
    "}";

const char kPassFragmentHeader[] =
    "precision highp float;\n"
    "precision highp int;\n"
    "layout (std140, binding = 0) uniform LumenfoldBlock{\n"
    "    vec3       iChannelResolution[4];\n"
    "    vec3       iResolution;\n"
    "    vec4       iMouse;\n"
    "    vec4       iDate;\n"
    "    float      iChannelTime[4];\n"
    "    float      iTime;\n"
    "    float      iSampleRate;\n"
    "    float      iTimeDelta;\n"
    "    float      iFrameRate;\n"
    "    int        iFrame;\n"
    "};\n"
    "layout (binding = 0+CHNBASE) uniform %s iChannel0;\n"
    "layout (binding = 1+CHNBASE) uniform %s iChannel1;\n"
    "layout (binding = 2+CHNBASE) uniform %s iChannel2;\n"
    "layout (binding = 3+CHNBASE) uniform %s iChannel3;\n"
    "out vec4 FragColor;\n";

const char kPassMainWrapper[] =
    "void main() {\n"
    "   mainImage(FragColor, gl_FragCoord.xy);\n"
    "}";

// The player draws each face with its axes in lumenfoldCubeFace: the
// direction through a texel is s × column 0 + t × column 1 + column 2, with
// s and t from -1 to 1 across the face, as GL's cubemap lookup reads it.
const char kCubePassMainWrapper[] =
    "uniform mat3 lumenfoldCubeFace;\n"
    "void main() {\n"
    "   vec2 st = 2.0 * gl_FragCoord.xy / iResolution.xy - 1.0;\n"
    "   vec3 rayDir = normalize(lumenfoldCubeFace * vec3(st, 1.0));\n"
    "   mainCubemap(FragColor, gl_FragCoord.xy, vec3(0.0), rayDir);\n"
    "}";

// Shaders choose their costlier branch with "#if HW_PERFORMANCE"; left
// undefined, it would quietly pick the low-power one.
const char kPassConventionDefines[] = "#define HW_PERFORMANCE 1\n";

static const char kAssemblyFormat[] =
    "#ifdef VERTEX_SHADER\n%s\n#endif\n#ifdef FRAGMENT_SHADER\n#define CHNBASE %d\n%s%s%s"
    "//##### common part #####\n#line 1 %d\n%s\n#line 1 %d\n%s\n%s\n#endif\n";

static const char* sampler_type(const GLenum* channel_targets, int channel) {
    const GLenum target = channel_targets ? channel_targets[channel] : 0;
    if (target == GL_TEXTURE_3D) return "sampler3D";
    if (target == GL_TEXTURE_CUBE_MAP) return "samplerCube";
    return "sampler2D";
}

// The header with each channel's sampler type in it, in this thread's buffer.
static thread_local char header_buffer[sizeof kPassFragmentHeader + 4 * sizeof "samplerCube"];

static const char* fragment_header(const GLenum* channel_targets) {
    snprintf(header_buffer, sizeof header_buffer, kPassFragmentHeader, sampler_type(channel_targets, 0),
             sampler_type(channel_targets, 1), sampler_type(channel_targets, 2), sampler_type(channel_targets, 3));
    return header_buffer;
}

// Grows to the longest text assembled on this thread, so no text is cut.
static thread_local ThreadBuffer assembly_buffer = {nullptr, 0};

// The common part sits after the uniforms and samplers and in the fragment
// stage alone, so it may use them and fragment-only functions such as
// fwidth. "#line 1 N" makes compiler messages count lines of each text:
// source 1 is the common part, source 0 the pass.
const char* assemble_pass_source(const char* pass_text, const char* common_text, int pass_index,
                                 const GLenum* channel_targets) {
    if (pass_index < 0 || pass_index >= kPassCount) pass_index = 0;
    const char* header = fragment_header(channel_targets);
    // CHNBASE puts channel c of pass p on texture unit 4p + c.
    const int channel_base = kChannelsPerPass * pass_index;
    const char* wrapper = pass_index == kCubeAPass ? kCubePassMainWrapper : kPassMainWrapper;
    const int length = snprintf(nullptr, 0, kAssemblyFormat, kPassVertexText, channel_base, header,
                                kPassConventionDefines, desktop_keyword_renames(), kCommonPartSourceNumber,
                                common_text, kPassSourceNumber, pass_text, wrapper);
    if (length < 0) return "";
    const size_t size = static_cast<size_t>(length) + 1;
    char* assembled = thread_buffer_room(&assembly_buffer, size);
    // Without memory for it no text would build: an empty one says so.
    if (!assembled) return "";
    snprintf(assembled, size, kAssemblyFormat, kPassVertexText, channel_base, header,
             kPassConventionDefines, desktop_keyword_renames(), kCommonPartSourceNumber, common_text,
             kPassSourceNumber, pass_text, wrapper);
    return assembled;
}
