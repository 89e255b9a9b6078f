#include "app/pass_set_requests.h"

#include <cstdlib>

#include "app/player_arguments.h"

// One slot per monitor number, slot 0 for every monitor; a request's order
// is its ticket.
static const int kSlotCount = kHighestMonitorNumber + 1;

struct Slot {
    bool waiting;
    uint64_t ticket;
    PassSetRequest request;
};

static Slot slots[kSlotCount];
static uint64_t next_ticket = 1;
static uint32_t replaced_replies[kSlotCount];
static int replaced_count = 0;

static void drop(Slot* slot) {
    if (!slot->waiting) return;
    free(slot->request.path);
    if (slot->request.reply_thread && replaced_count < kSlotCount) {
        replaced_replies[replaced_count++] = slot->request.reply_thread;
    }
    slot->waiting = false;
}

void request_pass_set(const PassSetRequest& request) {
    const int monitor = request.monitor >= 0 && request.monitor < kSlotCount ? request.monitor : 0;
    if (monitor == 0) {
        for (Slot& slot : slots) drop(&slot);
    } else {
        drop(&slots[monitor]);
    }
    slots[monitor] = Slot{true, next_ticket++, request};
    slots[monitor].request.monitor = monitor;
}

bool take_pass_set_request(PassSetRequest* request) {
    Slot* oldest = nullptr;
    for (Slot& slot : slots) {
        if (slot.waiting && (!oldest || slot.ticket < oldest->ticket)) oldest = &slot;
    }
    if (!oldest) return false;
    *request = oldest->request;
    oldest->waiting = false;
    return true;
}

bool pass_set_request_waiting() {
    for (const Slot& slot : slots) {
        if (slot.waiting) return true;
    }
    return false;
}

bool take_replaced_reply(uint32_t* reply_thread) {
    if (replaced_count == 0) return false;
    *reply_thread = replaced_replies[--replaced_count];
    return true;
}
