#pragma once
// A forwarded WM_COPYDATA payload may come from any process, so its bytes
// are never trusted to hold a terminating zero.

#include <cstddef>

// Returns a zero-terminated copy of the path the payload carries (the bytes
// up to the first zero, or all of them when there is none), or null when
// the payload carries no path. The caller frees it with free().
char* copy_forwarded_path(const void* data, size_t size);
