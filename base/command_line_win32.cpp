#include "base/command_line.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>

#include "base/text_encoding.h"

char** utf8_arguments(int argc, char** argv, int* utf8_argc) {
    *utf8_argc = argc;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide) return argv;
    char** arguments = static_cast<char**>(calloc(static_cast<size_t>(count) + 1, sizeof(char*)));
    for (int index = 0; arguments && index < count; ++index) {
        const uint16_t* units = reinterpret_cast<const uint16_t*>(wide[index]);
        size_t length = 0;
        while (units[length]) ++length;
        arguments[index] = utf8_from_utf16(units, length);
        if (!arguments[index]) arguments = nullptr;
    }
    ::LocalFree(wide);
    if (!arguments) return argv;
    *utf8_argc = count;
    return arguments;
}
