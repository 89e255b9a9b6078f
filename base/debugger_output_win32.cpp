#include "base/log.h"

#include <windows.h>

#include <cstdlib>

#include "base/text_encoding.h"

// The log's lines are UTF-8; the narrow call would read them in the code
// page and garble every name outside it.
void send_to_debugger(const char* text) {
    wchar_t* wide = reinterpret_cast<wchar_t*>(utf16_from_utf8(text, nullptr));
    if (!wide) return;
    ::OutputDebugStringW(wide);
    free(wide);
}
