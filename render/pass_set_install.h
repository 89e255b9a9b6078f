#pragma once
// Makes a pass set the one that is drawn, as a whole or not at all.

#include <GL/glew.h>

#include "shader/pass_set.h"

// Programs in pass order; 0 means the pass is not drawn.
extern GLuint InstalledPrograms[kPassCount];

// A null path installs the built-in pass set. When Main does not build, the
// failure is logged and the playing pass set stays as it was.
void install_pass_set(const char* path);

void delete_installed_programs();
