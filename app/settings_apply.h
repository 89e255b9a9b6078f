#pragma once
// Puts the user's settings into effect, wherever each one acts.

#include "app/player_settings.h"

void apply_settings(const PlayerSettings& settings);
