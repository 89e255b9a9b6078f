#include "gl/gl_diagnostics.h"

#include <cstring>

#include "base/log.h"

struct EnumName {
    GLenum value;
    const char* text;
};

// Debug sources, types and severities are short because they are joined into
// one "source.type.severity" word; the rest keep their full GL names.
static const EnumName kEnumNames[] = {
    {0x0002, "GL_CONTEXT_FLAG_DEBUG_BIT"},
    {0x0500, "GL_INVALID_ENUM"},
    {0x0501, "GL_INVALID_VALUE"},
    {0x0502, "GL_INVALID_OPERATION"},
    {0x0503, "GL_STACK_OVERFLOW"},
    {0x0504, "GL_STACK_UNDERFLOW"},
    {0x0505, "GL_OUT_OF_MEMORY"},
    {0x0506, "GL_INVALID_FRAMEBUFFER_OPERATION"},
    {0x8219, "GL_FRAMEBUFFER_UNDEFINED"},
    {0x8242, "GL_DEBUG_OUTPUT_SYNCHRONOUS"},
    {0x8243, "GL_DEBUG_NEXT_LOGGED_MESSAGE_LENGTH"},
    {0x8244, "GL_DEBUG_CALLBACK_FUNCTION"},
    {0x8245, "GL_DEBUG_CALLBACK_USER_PARAM"},
    {0x8246, "API"},
    {0x8247, "WINDOW_SYSTEM"},
    {0x8248, "SHADER_COMPILER"},
    {0x8249, "THIRD_PARTY"},
    {0x824A, "APPLICATION"},
    {0x824B, "OTHER"},
    {0x824C, "ERROR"},
    {0x824D, "DEPRECATED_BEHAVIOR"},
    {0x824E, "UNDEFINED_BEHAVIOR"},
    {0x824F, "PORTABILITY"},
    {0x8250, "PERFORMANCE"},
    {0x8251, "OTHER"},
    {0x8268, "MARKER"},
    {0x8269, "PUSH_GROUP"},
    {0x826A, "POP_GROUP"},
    {0x826B, "NOTIFICATION"},
    {0x826C, "GL_MAX_DEBUG_GROUP_STACK_DEPTH"},
    {0x826D, "GL_DEBUG_GROUP_STACK_DEPTH"},
    {0x82E0, "GL_BUFFER"},
    {0x82E1, "GL_SHADER"},
    {0x82E2, "GL_PROGRAM"},
    {0x82E3, "GL_QUERY"},
    {0x82E4, "GL_PROGRAM_PIPELINE"},
    {0x82E6, "GL_SAMPLER"},
    {0x82E7, "GL_DISPLAY_LIST"},
    {0x82E8, "GL_MAX_LABEL_LENGTH"},
    {0x8CD6, "GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT"},
    {0x8CD7, "GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT"},
    {0x8CDD, "GL_FRAMEBUFFER_UNSUPPORTED"},
    {0x9143, "GL_MAX_DEBUG_MESSAGE_LENGTH"},
    {0x9144, "GL_MAX_DEBUG_LOGGED_MESSAGES"},
    {0x9145, "GL_DEBUG_LOGGED_MESSAGES"},
    {0x9146, "HIGH"},
    {0x9147, "MEDIUM"},
    {0x9148, "LOW"},
    {0x92E0, "GL_DEBUG_OUTPUT"},
};

const char* gl_enum_name(GLenum value) {
    for (const EnumName& entry : kEnumNames) {
        if (entry.value == value) return entry.text;
    }
    return "unknown";
}

static const char* gl_string(GLenum name) { return reinterpret_cast<const char*>(glGetString(name)); }

void log_gl_info() {
    log_message("glGetDbgInfo:");
    log_message("GL_VENDOR:%s", gl_string(GL_VENDOR));
    log_message("GL_RENDERER:%s", gl_string(GL_RENDERER));
    log_message("GL_VERSION:%s", gl_string(GL_VERSION));
    log_message("GL_SHADING_LANGUAGE_VERSION:%s", gl_string(GL_SHADING_LANGUAGE_VERSION));
    log_message("---------------------");
}

bool renderer_rasterizes_in_software(const char* renderer) {
    static const char* const kSoftwareRenderers[] = {"llvmpipe", "softpipe", "SwiftShader", "GDI Generic",
                                                     "Basic Render"};
    if (!renderer) return false;
    for (const char* name : kSoftwareRenderers) {
        if (strstr(renderer, name)) return true;
    }
    return false;
}

bool gl_rasterizes_in_software() { return renderer_rasterizes_in_software(gl_string(GL_RENDERER)); }

void enable_gl_debug_output(int debug_output_flag) {
    glEnable(GL_DEBUG_OUTPUT);
    // Synchronous, so each message lands in the log next to the call that
    // caused it, on the one thread that logs.
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageCallback(gl_debug_callback, nullptr);
    const GLboolean enabled = static_cast<GLboolean>(debug_output_flag & 0xFF);
    glDebugMessageControl(GL_DONT_CARE, GL_DONT_CARE, GL_DONT_CARE, 0, nullptr, enabled);
}

void GLAPIENTRY gl_debug_callback(GLenum source, GLenum type, GLuint id, GLenum severity, GLsizei length,
                                  const GLchar* message, const void* user) {
    (void)length;
    (void)user;
    log_message("GL:%s.%s.%s[0x%X]:%s", gl_enum_name(source), gl_enum_name(type), gl_enum_name(severity), id, message);
}
