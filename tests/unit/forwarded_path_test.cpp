// Payloads of WM_COPYDATA come from any process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/forwarded_path.h"

static std::string take(char* path) {
    std::string text = path ? path : "<none>";
    free(path);
    return text;
}

TEST(ForwardedPath, TerminatedPathIsTakenUpToItsZero) {
    const char payload[] = "C:\\walls\\disc.glsl";
    EXPECT_EQ(take(copy_forwarded_path(payload, sizeof payload)), "C:\\walls\\disc.glsl");
    const char with_trailing_bytes[] = "scene.txt\0garbage";
    EXPECT_EQ(take(copy_forwarded_path(with_trailing_bytes, sizeof with_trailing_bytes)), "scene.txt");
}

TEST(ForwardedPath, BytesWithoutZeroAreAPathOfExactlyThoseBytes) {
    // The vector's own storage ends right after the last byte, so a read past
    // it would show up under the address sanitizer.
    const std::vector<char> payload = {'d', 'i', 's', 'c'};
    EXPECT_EQ(take(copy_forwarded_path(payload.data(), payload.size())), "disc");
}

TEST(ForwardedPath, NoDataOrNoBytesMeansNoPath) {
    EXPECT_EQ(take(copy_forwarded_path(nullptr, 0)), "<none>");
    EXPECT_EQ(take(copy_forwarded_path(nullptr, 16)), "<none>");
    EXPECT_EQ(take(copy_forwarded_path("abc", 0)), "<none>");
}

TEST(ForwardedPath, AMebibyteWithoutZeroIsCopiedWhole) {
    const std::vector<char> payload(1 << 20, 'q');
    char* path = copy_forwarded_path(payload.data(), payload.size());
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(std::string(path).size(), payload.size());
    free(path);
}

TEST(ForwardedPath, LeadingZeroIsAnEmptyPath) {
    const char payload[] = "\0rest";
    EXPECT_EQ(take(copy_forwarded_path(payload, sizeof payload)), "");
}
