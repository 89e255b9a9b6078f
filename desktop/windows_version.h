#pragma once
// Asks the system whether it is at least the given Windows version, through
// the kernel's own check so that compatibility shims cannot lie about it.

bool is_windows_version_at_least(unsigned major, unsigned minor);
