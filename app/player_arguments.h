#pragma once
// The player's command line:
//   lumenfold.exe [path]               play the set (or the built-in one) on every monitor
//   lumenfold.exe --monitor N [path]   play it on monitor N, as the tray menu numbers them
//   lumenfold.exe --resume             play what each monitor played last
//   lumenfold.exe --quit               end the running player
// A later start hands the same request to the running player.

enum class PlayerAction { Play, Resume, Quit };

struct PlayerArguments {
    PlayerAction action;
    int monitor;       // 0: every monitor
    const char* path;  // UTF-8, into argv; null: the built-in set
};

constexpr int kHighestMonitorNumber = 64;

extern const char kPlayerUsage[];

// Fills `arguments` from argv[1..] (UTF-8); returns null when they are good,
// or what is wrong with them (a constant text). Arguments after the path are
// ignored, as they always were.
const char* parse_player_arguments(int argc, const char* const* argv, PlayerArguments* arguments);
