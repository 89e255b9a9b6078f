#pragma once
// The wallpaper every player starts with: a glowing disc with a bloom chain.

#include "shader/pass_set.h"

// The five texts held in the executable, in pass order, no common part.
PassSetSources builtin_pass_set_sources();
