#pragma once
// Where the player's log lives: the working folder, as it always has, or,
// when nothing can be written there (a shortcut that starts in Program
// Files, a folder of the log's name), %LOCALAPPDATA%\Lumenfold\.

// Re-opens the standard error stream onto the log; false when neither place
// can be written, said on the stream as it was.
bool open_log_file();
void close_log_file();

// The full path of the open log, for the tray's "Open log".
const wchar_t* log_file_path();
