// How the player comes back to a desktop that keeps going away.
#include <gtest/gtest.h>

#include "desktop/reattach_policy.h"

TEST(ReattachPolicy, TriesBackOffAndThenWaitForAShellToAnnounceItself) {
    ReattachPolicy policy = {0};
    EXPECT_EQ(reattach_delay_ms(policy), 0u) << "the first try is at once";
    const uint32_t delays[] = {1000, 2000, 4000, 8000};
    for (uint32_t delay : delays) {
        count_failed_attachment(&policy);
        EXPECT_EQ(reattach_delay_ms(policy), delay);
        EXPECT_FALSE(reattach_waits_for_announcement(policy));
    }
    count_failed_attachment(&policy);
    EXPECT_TRUE(reattach_waits_for_announcement(policy));
    for (int more = 0; more < 20; ++more) count_failed_attachment(&policy);
    EXPECT_EQ(reattach_delay_ms(policy), 60000u) << "never longer than a minute";
}

TEST(ReattachPolicy, OnlyADesktopThatHeldAWhileCountsAsSuccess) {
    ReattachPolicy policy = {0};
    count_lost_desktop(&policy, kShortLivedAttachmentMs - 1);
    count_lost_desktop(&policy, 100);
    EXPECT_EQ(reattach_delay_ms(policy), 2000u) << "a shell in a crash loop is tried less and less often";
    count_lost_desktop(&policy, kShortLivedAttachmentMs);
    EXPECT_EQ(reattach_delay_ms(policy), 0u);
}
