#pragma once
// How eagerly the player attaches to a desktop again. A shell that keeps
// ending (a crash loop, a broken update) must not have the player spin:
// tries back off, and after a few of them only a shell's own announcement
// brings the next one.

#include <cstdint>

constexpr int kReattachTriesWhileLooking = 5;
// An attachment lost sooner than this counts as a failure, not a success.
constexpr uint64_t kShortLivedAttachmentMs = 30000;

struct ReattachPolicy {
    int failures;  // failed attachments and short-lived ones, in a row
};

void count_failed_attachment(ReattachPolicy* policy);
// A desktop that held a while wipes the slate; one lost soon is a failure.
void count_lost_desktop(ReattachPolicy* policy, uint64_t attached_for_ms);

// Milliseconds to wait before the next try: none at first, then 1, 2, 4 …
// seconds, at most a minute.
uint32_t reattach_delay_ms(const ReattachPolicy& policy);
// True once the player stops looking by itself and waits for a shell to
// announce that it started.
bool reattach_waits_for_announcement(const ReattachPolicy& policy);
