// Whether the shell starts the player at logon, from the Run value and the
// record Task Manager keeps of entries the user turned off.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/startup_entry.h"

static bool starts(bool run_value, std::initializer_list<uint8_t> approved, bool approved_present = true) {
    const std::vector<uint8_t> bytes(approved);
    return starts_with_windows(StartupRecords{run_value, approved_present, bytes.data(), bytes.size()});
}

TEST(StartupEntry, OnlyAPresentRunValueThatNoRecordTurnsOffStarts) {
    EXPECT_TRUE(starts(true, {}, false));
    EXPECT_TRUE(starts(true, {0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(starts(true, {0x06, 0, 0, 0}));
    EXPECT_TRUE(starts(true, {}));
    EXPECT_FALSE(starts(true, {0x03, 0, 0, 0, 0x10, 0x2f, 0x61, 0x55, 0x0e, 0x5a, 0xdb, 0x01}));
    EXPECT_FALSE(starts(true, {0x01}));
    EXPECT_FALSE(starts(false, {}, false));
    EXPECT_FALSE(starts(false, {0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    // What the player writes to turn a disabled entry on again.
    EXPECT_TRUE(starts_with_windows(StartupRecords{true, true, kStartupApprovedEnabled, kStartupApprovedSize}));
}

TEST(StartupEntry, RunValueQuotesThePathAndResumes) {
    char* value = run_value_for("C:\\Users\\Zoë Ångström\\AppData\\Local\\Programs\\Lumenfold\\lumenfold.exe");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(std::string(value),
              "\"C:\\Users\\Zoë Ångström\\AppData\\Local\\Programs\\Lumenfold\\lumenfold.exe\" --resume");
    free(value);
}
