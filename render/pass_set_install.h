#pragma once
// Makes a pass set the one a playing set draws, as a whole or not at all.

#include "render/playing_set.h"

enum class InstallRule {
    // A set played on request: it plays as long as Main builds.
    MainMustBuild,
    // A set that replaces one already playing on its own accord (a reload
    // after a save) or is checked: a pass that does not build rejects it.
    EveryPassMustBuild,
};

// An install in two halves, so the compile between them can run elsewhere.
struct PendingInstall {
    PreparedPassSet prepared;
    // The set's buffer and cube textures when its directives named them:
    // the targets may be made anew before the install ends.
    GLuint buffers_named[kRenderTargetCount];
    GLuint cube_named;
};

// Reads and assembles the set at `path` (null: the built-in set) against
// the buffers of `set`.
void prepare_install(PendingInstall* install, const PlayingSet& set, const char* path);
// Once `install.prepared` is compiled: the set plays it, by `rule`, or the
// programs are deleted and false returned, as below.
bool finish_install(PlayingSet* set, PendingInstall* install, const char* path, InstallRule rule);

// Both halves with the compile between them, on this thread. A null path
// installs the built-in pass set. When the rule rejects the
// build, "load_shader failed:" with the path is logged, nothing changes, and
// false is returned.
bool install_pass_set(PlayingSet* set, const char* path, InstallRule rule = InstallRule::MainMustBuild);

// Deletes the set's programs; nothing is drawn until the next install.
void uninstall_pass_set(PlayingSet* set);
