// The host flavour has no debugger channel; the copies are kept so that
// tests can read what a debugger would have received.
#include "base/debugger_output_host.h"

#include <string>
#include <vector>

static std::vector<std::string>& debugger_messages() {
    static std::vector<std::string> messages;
    return messages;
}

void send_to_debugger(const char* text) { debugger_messages().push_back(text); }

size_t host_debugger_message_count() { return debugger_messages().size(); }

const char* host_debugger_message(size_t index) {
    return index < debugger_messages().size() ? debugger_messages()[index].c_str() : nullptr;
}

void clear_host_debugger_messages() { debugger_messages().clear(); }
