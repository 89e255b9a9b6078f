#include "render_tool/render_arguments.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

const char kRenderUsage[] =
    "usage: lumenfold-render [PATH] -o OUT.png [--size WxH] [--time SECONDS] [--fps N] [--stats]";

// iFrame is a 32-bit integer that must not wrap within one render.
static const double kLargestFrameNumber = 2147483647.0;
// Beyond any display's rate; also keeps iTimeDelta well inside a float.
static const int kLargestFramesPerSecond = 1000;

// Digits only, no sign and no blanks, at most `largest`: strtol alone would
// take " 12", "+12" and "12abc".
static bool parse_count(const char* text, const char* end, int largest, int* value) {
    if (text == end) return false;
    long number = 0;
    for (const char* cursor = text; cursor < end; ++cursor) {
        if (*cursor < '0' || *cursor > '9') return false;
        number = number * 10 + (*cursor - '0');
        if (number > largest) return false;
    }
    *value = static_cast<int>(number);
    return number > 0;
}

static bool parse_size(const char* text, int* width, int* height) {
    const char* cross = strchr(text, 'x');
    if (!cross) return false;
    return parse_count(text, cross, kLargestRenderSide, width) &&
           parse_count(cross + 1, cross + strlen(cross), kLargestRenderSide, height);
}

static bool parse_seconds(const char* text, double* seconds) {
    if (*text == '\0') return false;
    char* end = nullptr;
    errno = 0;
    const double value = strtod(text, &end);
    if (*end != '\0' || errno != 0 || !std::isfinite(value) || value < 0.0) return false;
    *seconds = value;
    return true;
}

static double frames_to_render(double seconds, int frames_per_second) {
    return std::round(seconds * frames_per_second);
}

static RenderArguments default_render_arguments() {
    return RenderArguments{nullptr, nullptr, kDefaultRenderWidth, kDefaultRenderHeight, 0.0, kDefaultFramesPerSecond,
                           false};
}

// Each option takes the argument after it.
static const char* parse_option(const char* option, const char* value, RenderArguments* arguments) {
    if (!value) return "an option without its value";
    if (strcmp(option, "-o") == 0) {
        arguments->output_path = value;
        return nullptr;
    }
    if (strcmp(option, "--size") == 0) {
        return parse_size(value, &arguments->width, &arguments->height)
                   ? nullptr
                   : "a bad --size: W and H are whole numbers from 1 to 16384";
    }
    if (strcmp(option, "--time") == 0) {
        return parse_seconds(value, &arguments->seconds) ? nullptr : "a bad --time: seconds, 0 or more";
    }
    if (strcmp(option, "--fps") == 0) {
        return parse_count(value, value + strlen(value), kLargestFramesPerSecond, &arguments->frames_per_second)
                   ? nullptr
                   : "a bad --fps: a whole number from 1 to 1000";
    }
    return "an unknown option";
}

static bool is_option(const char* argument) { return argument[0] == '-' && argument[1] != '\0'; }

const char* parse_render_arguments(int argc, const char* const* argv, RenderArguments* arguments) {
    *arguments = default_render_arguments();
    for (int index = 1; index < argc; ++index) {
        const char* argument = argv[index];
        if (strcmp(argument, "--stats") == 0) {
            arguments->stats = true;
        } else if (is_option(argument)) {
            const char* problem = parse_option(argument, index + 1 < argc ? argv[index + 1] : nullptr, arguments);
            if (problem) return problem;
            ++index;
        } else if (arguments->pass_set_path) {
            return "more than one path";
        } else {
            arguments->pass_set_path = argument;
        }
    }
    if (!arguments->output_path && !arguments->stats) return "no -o OUT.png";
    if (frames_to_render(arguments->seconds, arguments->frames_per_second) > kLargestFrameNumber) {
        return "more frames than iFrame can count";
    }
    return nullptr;
}

int32_t last_frame_number(const RenderArguments& arguments) {
    return static_cast<int32_t>(frames_to_render(arguments.seconds, arguments.frames_per_second));
}
