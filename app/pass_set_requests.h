#pragma once
// Pass sets asked for between frames (a later start, the tray menu, a save)
// are installed by the loop before its next frame, not inside the message
// that asked: the asker is not kept waiting while shaders compile.

// Takes over `path` (malloc'd; null for the built-in set); a newer request
// replaces an older one that was not carried out yet.
void request_pass_set(char* path);

// True when a request is waiting; hands over its path, to be freed.
bool take_pass_set_request(char** path);
