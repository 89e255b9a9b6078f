// lumenfold-render: renders a pass set into a PNG without a desktop, the same
// core on every platform.
#include <cstdio>
#include <string>

#include "base/command_line.h"
#include "base/log.h"
#include "gl/headless_context.h"
#include "render_tool/compiler_stack.h"
#include "render_tool/offscreen_render.h"
#include "render_tool/render_arguments.h"

// Never drawn into: Main has a target of its own.
static const int kUnusedFramebufferSide = 16;

static std::string held_log;

static void hold_line(const char* line, void*) {
    held_log += line;
    held_log += '\n';
}

// The core reports every program it builds; on success that is noise.
static void hold_log_lines() {
    set_log_stream(nullptr);
    set_log_observer(hold_line, nullptr);
}

// The held lines, the compiler's messages among them, then why it failed.
static int fail_showing_held_log(const char* reason) {
    set_log_observer(nullptr, nullptr);
    fputs(held_log.c_str(), stderr);
    set_log_stream(stderr);
    if (reason) log_message("lumenfold-render: %s", reason);
    return 1;
}

static int fail_with_usage(const char* problem) {
    log_message("lumenfold-render: %s; %s", problem, kRenderUsage);
    return 2;
}

static int render(int argc, char** argv) {
    // Paths as UTF-8, whatever the system's code page: the file calls take
    // them so.
    int utf8_argc = 0;
    char** utf8_argv = utf8_arguments(argc, argv, &utf8_argc);
    RenderArguments arguments;
    const char* problem = parse_render_arguments(utf8_argc, utf8_argv, &arguments);
    if (problem) return fail_with_usage(problem);

    hold_log_lines();
    if (!open_headless_context(kUnusedFramebufferSide, kUnusedFramebufferSide)) {
        return fail_showing_held_log("no OpenGL 4.5 core context could be created");
    }
    RenderStats stats;
    const bool written = render_pass_set_to_png(arguments, &stats);
    close_headless_context();
    if (!written) return fail_showing_held_log(nullptr);
    if (arguments.stats) {
        set_log_observer(nullptr, nullptr);
        set_log_stream(stdout);
        log_render_stats(stats, arguments);
    }
    return 0;
}

int main(int argc, char** argv) { return run_on_compiler_stack(render, argc, argv); }
