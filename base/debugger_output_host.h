#pragma once
// What the host flavour's debugger channel received, oldest first.

#include <cstddef>

#include "base/log.h"

size_t host_debugger_message_count();
const char* host_debugger_message(size_t index);
void clear_host_debugger_messages();
