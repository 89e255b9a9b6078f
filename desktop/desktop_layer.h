#pragma once
// Moves the host window into the desktop's wallpaper layer, behind the
// icons, and sizes it to the primary screen. The caller is not told whether
// it worked: the player runs on either way, and the log says what happened.

#include <windows.h>

void attach_to_desktop(HWND window);
