#include "desktop/reattach_policy.h"

static const uint32_t kLongestDelayMs = 60000;

void count_failed_attachment(ReattachPolicy* policy) { ++policy->failures; }

void count_lost_desktop(ReattachPolicy* policy, uint64_t attached_for_ms) {
    if (attached_for_ms >= kShortLivedAttachmentMs) {
        policy->failures = 0;
    } else {
        ++policy->failures;
    }
}

uint32_t reattach_delay_ms(const ReattachPolicy& policy) {
    if (policy.failures <= 0) return 0;
    if (policy.failures > 7) return kLongestDelayMs;
    const uint32_t delay = 1000u << (policy.failures - 1);
    return delay < kLongestDelayMs ? delay : kLongestDelayMs;
}

bool reattach_waits_for_announcement(const ReattachPolicy& policy) {
    return policy.failures >= kReattachTriesWhileLooking;
}
