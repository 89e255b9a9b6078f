#include "app/forwarded_request.h"

#include <cstdlib>
#include <cstring>

#include "base/text_encoding.h"

static ForwardedRequest refused(const char* problem) {
    return ForwardedRequest{problem, PlayerAction::Play, 0, nullptr, false, 0};
}

static size_t length_before_zero(const unsigned char* bytes, size_t size) {
    const void* zero = memchr(bytes, 0, size);
    return zero ? static_cast<size_t>(static_cast<const unsigned char*>(zero) - bytes) : size;
}

static ForwardedRequest decode_ansi_path(const unsigned char* bytes, size_t size) {
    ForwardedRequest request = refused(nullptr);
    request.path_is_ansi = true;
    if (!bytes || size == 0) return request;
    const size_t length = length_before_zero(bytes, size);
    if (length > kLongestForwardedPath) return refused("a path longer than 32767 characters");
    request.path = static_cast<char*>(malloc(length + 1));
    if (!request.path) return refused("no memory for the path");
    memcpy(request.path, bytes, length);
    request.path[length] = '\0';
    return request;
}

// UTF-16 units are copied out first: the payload need not be aligned.
static char* decode_wide_path(const unsigned char* bytes, size_t size, const char** problem) {
    size_t count = size / sizeof(uint16_t);
    uint16_t* units = static_cast<uint16_t*>(malloc((count + 1) * sizeof(uint16_t)));
    if (!units) {
        *problem = "no memory for the path";
        return nullptr;
    }
    if (count > 0) memcpy(units, bytes, count * sizeof(uint16_t));
    units[count] = 0;
    size_t length = 0;
    while (units[length] != 0) ++length;
    char* path = nullptr;
    if (length > kLongestForwardedPath) {
        *problem = "a path longer than 32767 characters";
    } else if (length > 0) {
        path = utf8_from_utf16(units, length);
        if (!path) *problem = "no memory for the path";
    }
    free(units);
    return path;
}

ForwardedRequest decode_forwarded_request(uint64_t kind, const void* data, size_t size) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    if (!bytes) size = 0;
    if (kind == kForwardAnsiKind) return decode_ansi_path(bytes, size);
    if (kind != kForwardPlayKind && kind != kForwardQuitKind) return refused("an unknown kind of request");
    ForwardHeader header;
    if (size < sizeof header) return refused("a request shorter than its header");
    memcpy(&header, bytes, sizeof header);
    if (header.monitor > static_cast<uint32_t>(kHighestMonitorNumber)) return refused("a monitor number above 64");

    ForwardedRequest request = refused(nullptr);
    request.monitor = static_cast<int>(header.monitor);
    request.reply_thread = header.reply_thread;
    if (kind == kForwardQuitKind) {
        request.action = PlayerAction::Quit;
        return request;
    }
    request.path = decode_wide_path(bytes + sizeof header, size - sizeof header, &request.problem);
    return request;
}

void free_forwarded_request(ForwardedRequest* request) {
    free(request->path);
    request->path = nullptr;
}

void* encode_forwarded_request(const PlayerArguments& arguments, uint32_t reply_thread, uint32_t* kind,
                               size_t* size) {
    const ForwardHeader header = {static_cast<uint32_t>(arguments.monitor), reply_thread};
    size_t units = 0;
    uint16_t* path = nullptr;
    if (arguments.action == PlayerAction::Play && arguments.path) {
        path = utf16_from_utf8(arguments.path, &units);
        if (!path) return nullptr;
    }
    *kind = arguments.action == PlayerAction::Quit ? kForwardQuitKind : kForwardPlayKind;
    *size = sizeof header + units * sizeof(uint16_t);
    unsigned char* payload = static_cast<unsigned char*>(malloc(*size));
    if (payload) {
        memcpy(payload, &header, sizeof header);
        if (units > 0) memcpy(payload + sizeof header, path, units * sizeof(uint16_t));
    }
    free(path);
    return payload;
}
