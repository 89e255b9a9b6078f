#include "base/log.h"

#include <windows.h>

void send_to_debugger(const char* text) { ::OutputDebugStringA(text); }
