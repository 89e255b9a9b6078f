#include "app/player_arguments.h"

#include <cstring>

const char kPlayerUsage[] = "usage: lumenfold [--monitor N] [path] | --resume | --quit";

static bool is_option(const char* argument) { return argument[0] == '-' && argument[1] == '-'; }

// Digits only, 1 to the highest monitor number.
static bool parse_monitor_number(const char* text, int* number) {
    if (!text || !*text) return false;
    int value = 0;
    for (const char* cursor = text; *cursor; ++cursor) {
        if (*cursor < '0' || *cursor > '9') return false;
        value = value * 10 + (*cursor - '0');
        if (value > kHighestMonitorNumber) return false;
    }
    *number = value;
    return value > 0;
}

static const char* parse_option(const char* option, const char* next, PlayerArguments* arguments, int* used) {
    *used = 1;
    const bool action_given = arguments->action != PlayerAction::Play;
    if ((strcmp(option, "--resume") == 0 || strcmp(option, "--quit") == 0) && action_given) {
        return "--resume and --quit take nothing else";
    }
    if (strcmp(option, "--resume") == 0) {
        arguments->action = PlayerAction::Resume;
        return nullptr;
    }
    if (strcmp(option, "--quit") == 0) {
        arguments->action = PlayerAction::Quit;
        return nullptr;
    }
    if (strcmp(option, "--monitor") == 0) {
        *used = 2;
        return parse_monitor_number(next, &arguments->monitor) ? nullptr : "--monitor wants a number from 1 to 64";
    }
    return "an unknown option";
}

const char* parse_player_arguments(int argc, const char* const* argv, PlayerArguments* arguments) {
    *arguments = PlayerArguments{PlayerAction::Play, 0, nullptr};
    bool monitor_given = false;
    for (int index = 1; index < argc && !arguments->path; ++index) {
        const char* argument = argv[index];
        if (!is_option(argument)) {
            arguments->path = argument;
            continue;
        }
        int used = 1;
        const char* problem = parse_option(argument, index + 1 < argc ? argv[index + 1] : nullptr, arguments, &used);
        if (problem) return problem;
        monitor_given = monitor_given || arguments->monitor != 0;
        index += used - 1;
    }
    if (arguments->action != PlayerAction::Play && (arguments->path || monitor_given)) {
        return "--resume and --quit take nothing else";
    }
    return nullptr;
}
