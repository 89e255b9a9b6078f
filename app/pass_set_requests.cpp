#include "app/pass_set_requests.h"

#include <cstdlib>

static bool requested = false;
static char* requested_path = nullptr;

void request_pass_set(char* path) {
    free(requested_path);
    requested_path = path;
    requested = true;
}

bool take_pass_set_request(char** path) {
    *path = requested_path;
    requested_path = nullptr;
    const bool was_requested = requested;
    requested = false;
    return was_requested;
}
