// A WM_COPYDATA payload from any process: the old ANSI form, the play form,
// the quit form and any other kind.
#include <cstring>

#include "app/forwarded_request.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    silence_log();
    return 0;
}

static uint64_t kind_of(uint8_t choice) {
    switch (choice % 4) {
        case 0: return kForwardAnsiKind;
        case 1: return kForwardPlayKind;
        case 2: return kForwardQuitKind;
        default: return 0x4C460000u + choice;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // A copy of exactly the payload's size, so that any read past it is seen.
    const size_t payload_size = size - 1;
    uint8_t* payload = static_cast<uint8_t*>(malloc(payload_size ? payload_size : 1));
    memcpy(payload, data + 1, payload_size);
    ForwardedRequest request = decode_forwarded_request(kind_of(data[0]), payload, payload_size);
    free(payload);
    if (!request.problem && request.path && !request.path_is_ansi) {
        // A decoded path goes out again as a later start would send it.
        PlayerArguments arguments;
        memset(&arguments, 0, sizeof arguments);
        arguments.action = PlayerAction::Play;
        arguments.path = request.path;
        uint32_t kind = 0;
        size_t encoded_size = 0;
        void* encoded = encode_forwarded_request(arguments, 0, &kind, &encoded_size);
        if (encoded) {
            ForwardedRequest again = decode_forwarded_request(kind, encoded, encoded_size);
            if (again.problem || !again.path || strcmp(again.path, request.path) != 0) __builtin_trap();
            free_forwarded_request(&again);
            free(encoded);
        }
    }
    free_forwarded_request(&request);
    return 0;
}
