#pragma once
// What a later start hands the running player in WM_COPYDATA. The payload
// may come from any process, so it is never trusted: any length, no
// terminating zero, garbage.
//
//   dwData 0            a path in the system code page, up to its first
//                       zero (the form every earlier player sent)
//   kForwardPlayKind    ForwardHeader, then a UTF-16 path (none: the
//                       built-in set), up to its first zero
//   kForwardQuitKind    ForwardHeader alone: end as if Exit were chosen

#include <cstddef>
#include <cstdint>

#include "app/player_arguments.h"

constexpr uint32_t kForwardAnsiKind = 0;
constexpr uint32_t kForwardPlayKind = 0x4C460001;
constexpr uint32_t kForwardQuitKind = 0x4C460002;

struct ForwardHeader {
    uint32_t monitor;       // 0: every monitor
    uint32_t reply_thread;  // 0: nobody waits; else the outcome is posted to this thread
};

// The longest path taken, in characters: Windows' own limit for long paths.
constexpr size_t kLongestForwardedPath = 32767;

// What the player answers WM_COPYDATA with; an earlier player answered 0.
constexpr intptr_t kForwardTaken = 1;
constexpr intptr_t kForwardMalformed = 2;
constexpr intptr_t kForwardNoSuchMonitor = 3;
constexpr intptr_t kForwardUnreadable = 4;

struct ForwardedRequest {
    const char* problem;  // null when the request is good; a constant text
    PlayerAction action;  // Play or Quit
    int monitor;
    char* path;           // malloc'd; null: the built-in set
    bool path_is_ansi;    // path holds code-page bytes still to be converted
    uint32_t reply_thread;
};

// Never reads outside `size` bytes at `data`.
ForwardedRequest decode_forwarded_request(uint64_t kind, const void* data, size_t size);
void free_forwarded_request(ForwardedRequest* request);

// The payload of a request from UTF-8 arguments; malloc'd, `kind` and `size`
// filled in. Null only when no memory is left.
void* encode_forwarded_request(const PlayerArguments& arguments, uint32_t reply_thread, uint32_t* kind,
                               size_t* size);
