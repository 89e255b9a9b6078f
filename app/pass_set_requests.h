#pragma once
// Pass sets asked for between frames (a later start, the tray menu, a save)
// are installed by the loop before its next frame, not inside the message
// that asked: the asker is not kept waiting while shaders compile.

#include <cstdint>

struct PassSetRequest {
    int monitor;            // 0: every monitor
    char* path;             // malloc'd; null: the built-in set
    uint32_t reply_thread;  // 0: nobody waits for the outcome
};

// Takes over the request's path. A newer request for the same monitor
// replaces one that was not carried out yet, and one for every monitor
// replaces them all; the replaced ones' askers are still owed an answer.
void request_pass_set(const PassSetRequest& request);

// The oldest request still waiting, handed over with its path; false when
// none is.
bool take_pass_set_request(PassSetRequest* request);

// Whether a request waits, without taking it.
bool pass_set_request_waiting();

// The reply thread of a replaced request that is still owed its answer.
bool take_replaced_reply(uint32_t* reply_thread);
