#include "shader/program_builder.h"

#include <cstdio>
#include <cstdlib>

#include "base/log.h"
#include "shader/gl_type_name.h"

// Per thread: sets build on the loop's thread and on the build thread.
static thread_local char version_line[128];

static int glsl_version_number(int major, int minor) {
    // GLSL numbering only settled on the GL version from 3.3 on.
    if (major == 2 && minor == 0) return 110;
    if (major == 2 && minor == 1) return 120;
    if (major == 3 && minor == 0) return 130;
    if (major == 3 && minor == 1) return 140;
    if (major == 3 && minor == 2) return 150;
    return major * 100 + minor * 10;
}

void format_glsl_version_line(char* out, size_t size, int major, int minor, int profile_mask) {
    const int version = glsl_version_number(major, minor);
    const char* profile = "";
    if (version >= 330) profile = profile_mask != 0 ? "core" : "compatibility";
    snprintf(out, size, "#version %d %s\n", version, profile);
}

const char* glsl_version_header() {
    GLint major = 0;
    GLint minor = 0;
    GLint profile_mask = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile_mask);
    format_glsl_version_line(version_line, sizeof version_line, major, minor, profile_mask);
    return version_line;
}

// The info log of a shader or program, zero-terminated; the caller frees
// it. Null only when no memory is left.
static char* read_info_log(GLuint object, PFNGLGETSHADERIVPROC get_parameter, PFNGLGETSHADERINFOLOGPROC get_log) {
    GLint length = 0;
    get_parameter(object, GL_INFO_LOG_LENGTH, &length);
    char* info = static_cast<char*>(calloc(static_cast<size_t>(length > 0 ? length : 1), 1));
    if (info && length > 0) get_log(object, length, nullptr, info);
    return info;
}

// A stage that does not compile is reported with its own log, whose line
// numbers count lines of the pass text; the link result still decides.
static void report_compile_failure(GLuint shader) {
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled) return;
    char* info = read_info_log(shader, glGetShaderiv, glGetShaderInfoLog);
    log_message("Compile Error:%s", info ? info : "");
    free(info);
}

GLuint compile_stage(const char* version_line_text, const char* stage_macro, const char* text, GLenum type) {
    const GLuint shader = glCreateShader(type);
    if (shader == 0) return 0;
    const char* const parts[3] = {version_line_text, stage_macro, text};
    glShaderSource(shader, 3, parts, nullptr);
    glCompileShader(shader);
    report_compile_failure(shader);
    return shader;
}

GLuint build_program(const char* text, bool with_geometry_stage) {
    const char* version = glsl_version_header();
    const GLuint vertex = compile_stage(version, "#define VERTEX_SHADER\n", text, GL_VERTEX_SHADER);
    const GLuint fragment = compile_stage(version, "#define FRAGMENT_SHADER\n", text, GL_FRAGMENT_SHADER);
    const GLuint geometry =
        with_geometry_stage ? compile_stage(version, "#define GEOMETRY_SHADER\n", text, GL_GEOMETRY_SHADER) : 0;

    log_message("Linking program...");
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    if (with_geometry_stage) glAttachShader(program, geometry);
    glLinkProgram(program);

    // Still attached, the shaders live on inside the program and go with it.
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    if (with_geometry_stage) glDeleteShader(geometry);

    if (check_link_and_report(program)) return program;
    glDeleteProgram(program);
    return 0;
}

static void report_link_failure(GLuint program) {
    char* info = read_info_log(program, glGetProgramiv, glGetProgramInfoLog);
    // An empty log would leave "Linking Error:" saying nothing at all.
    log_message("Linking Error:\n%s", info && info[0] ? info : "(no info log)");
    free(info);
}

static const size_t kResourceNameSize = 1024;

struct UniformProperties {
    GLint location;
    GLint type;
    GLint array_size;
    GLint block_index;
    GLint offset;
    GLint array_stride;
};

static GLint active_resource_count(GLuint program, GLenum interface) {
    GLint count = 0;
    glGetProgramInterfaceiv(program, interface, GL_ACTIVE_RESOURCES, &count);
    return count;
}

static void resource_name(GLuint program, GLenum interface, GLint index, char* name) {
    name[0] = '\0';
    glGetProgramResourceName(program, interface, static_cast<GLuint>(index), kResourceNameSize, nullptr, name);
}

static UniformProperties uniform_properties(GLuint program, GLint index) {
    const GLenum properties[] = {GL_LOCATION, GL_TYPE, GL_ARRAY_SIZE, GL_BLOCK_INDEX, GL_OFFSET, GL_ARRAY_STRIDE};
    GLint values[6] = {0, 0, 0, 0, 0, 0};
    glGetProgramResourceiv(program, GL_UNIFORM, static_cast<GLuint>(index), 6, properties, 6, nullptr, values);
    return UniformProperties{values[0], values[1], values[2], values[3], values[4], values[5]};
}

static void report_inputs(GLuint program, char* name) {
    const GLint count = active_resource_count(program, GL_PROGRAM_INPUT);
    log_message("active Attribute:%d", count);
    for (GLint index = 0; index < count; ++index) {
        const GLenum properties[] = {GL_LOCATION, GL_TYPE, GL_ARRAY_SIZE};
        GLint values[3] = {0, 0, 0};
        glGetProgramResourceiv(program, GL_PROGRAM_INPUT, static_cast<GLuint>(index), 3, properties, 3, nullptr,
                               values);
        resource_name(program, GL_PROGRAM_INPUT, index, name);
        log_message("  %s@%d %s[%d]", name, values[0], gl_type_name(static_cast<GLenum>(values[1])), values[2]);
    }
    log_message("%s", "");
}

static void report_default_block_uniforms(GLuint program, char* name) {
    const GLint count = active_resource_count(program, GL_UNIFORM);
    log_message("active Uniform:%d", count);
    for (GLint index = 0; index < count; ++index) {
        const UniformProperties uniform = uniform_properties(program, index);
        if (uniform.block_index != -1) continue;
        resource_name(program, GL_UNIFORM, index, name);
        log_message("  %s@%d %s[%d] stride:%d", name, uniform.location, gl_type_name(static_cast<GLenum>(uniform.type)),
                    uniform.array_size, uniform.array_stride);
    }
    log_message("%s", "");
}

static void report_block_members(GLuint program, GLint block, GLint uniform_count, char* name) {
    for (GLint index = 0; index < uniform_count; ++index) {
        const UniformProperties uniform = uniform_properties(program, index);
        if (uniform.block_index != block) continue;
        resource_name(program, GL_UNIFORM, index, name);
        log_message("    %4d %s %s[%d] stride:%d", uniform.offset, name,
                    gl_type_name(static_cast<GLenum>(uniform.type)), uniform.array_size, uniform.array_stride);
    }
}

static void report_uniform_blocks(GLuint program, char* name) {
    const GLint block_count = active_resource_count(program, GL_UNIFORM_BLOCK);
    log_message("active Uniform Block:%d", block_count);
    const GLint uniform_count = active_resource_count(program, GL_UNIFORM);
    for (GLint block = 0; block < block_count; ++block) {
        const GLenum properties[] = {GL_BUFFER_BINDING, GL_BUFFER_DATA_SIZE, GL_NUM_ACTIVE_VARIABLES};
        GLint values[3] = {0, 0, 0};
        glGetProgramResourceiv(program, GL_UNIFORM_BLOCK, static_cast<GLuint>(block), 3, properties, 3, nullptr,
                               values);
        resource_name(program, GL_UNIFORM_BLOCK, block, name);
        log_message("  %s@%d size:%d active_variables:%d", name, values[0], values[1], values[2]);
        report_block_members(program, block, uniform_count, name);
        log_message("%s", "");
    }
}

int check_link_and_report(GLuint program) {
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        report_link_failure(program);
        return 0;
    }
    static thread_local char name[kResourceNameSize];
    report_inputs(program, name);
    report_default_block_uniforms(program, name);
    report_uniform_blocks(program, name);
    return 1;
}
