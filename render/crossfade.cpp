#include "render/crossfade.h"

#include "base/log.h"
#include "render/render_resources.h"
#include "shader/program_builder.h"

static GLuint program = 0;
static GLint weight_location = -1;
static GLint place_location = -1;

// The quad comes from the vertex index alone: the shared vertex array only
// has to be bound.
static const char kCrossfadeText[] = R"(
#ifdef VERTEX_SHADER
void main() {
    vec2 corner = vec2(float(gl_VertexID & 1), float((gl_VertexID >> 1) & 1));
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
#endif
#ifdef FRAGMENT_SHADER
layout(binding = 0) uniform sampler2D outgoing;
layout(binding = 1) uniform sampler2D incoming;
uniform float weight;
uniform vec4 place;
out vec4 colour;
void main() {
    vec2 at = (gl_FragCoord.xy - place.xy) / place.zw;
    colour = mix(texture(outgoing, at), texture(incoming, at), weight);
}
#endif
)";

float crossfade_weight(double elapsed, double length) {
    if (length <= 0.0 || elapsed >= length) return 1.0f;
    if (elapsed <= 0.0) return 0.0f;
    const double t = elapsed / length;
    return static_cast<float>(t * t * (3.0 - 2.0 * t));
}

static bool make_program() {
    if (program) return true;
    const char* version = glsl_version_header();
    const GLuint vertex = compile_stage(version, "#define VERTEX_SHADER\n", kCrossfadeText, GL_VERTEX_SHADER);
    const GLuint fragment = compile_stage(version, "#define FRAGMENT_SHADER\n", kCrossfadeText, GL_FRAGMENT_SHADER);
    program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        log_message("crossfade: the blend program does not link; sets cut instead");
        glDeleteProgram(program);
        program = 0;
        return false;
    }
    weight_location = glGetUniformLocation(program, "weight");
    place_location = glGetUniformLocation(program, "place");
    return true;
}

void draw_crossfade(GLuint outgoing, GLuint incoming, float weight, int x, int y, int width, int height) {
    if (!make_program()) return;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(x, y, width, height);
    glUseProgram(program);
    glProgramUniform1f(program, weight_location, weight);
    glProgramUniform4f(program, place_location, static_cast<float>(x), static_cast<float>(y),
                       static_cast<float>(width), static_cast<float>(height));
    glBindTextureUnit(0, outgoing);
    glBindTextureUnit(1, incoming);
    // The sets' samplers may sit on these units.
    glBindSampler(0, 0);
    glBindSampler(1, 0);
    glBindVertexArray(RenderResources.vertex_array);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

void release_crossfade() {
    if (program) glDeleteProgram(program);
    program = 0;
}
