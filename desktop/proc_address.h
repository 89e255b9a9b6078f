#pragma once
// Optional entry points are looked up at run time, each with a typedef of
// its own; the result must be checked for null before every call.

#include <windows.h>

template <typename Proc>
Proc find_proc_address(HMODULE module, const char* name) {
    // NOTE: going through void* keeps GCC's -Wcast-function-type quiet about
    // the FARPROC signature, which never matches the real one.
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}
