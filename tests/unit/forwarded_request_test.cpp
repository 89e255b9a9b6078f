// What a later start asks and how the running player reads it: arguments,
// payloads from any process, and the UTF-8 they carry inside the program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/forwarded_request.h"
#include "app/player_arguments.h"
#include "base/log.h"
#include "base/text_encoding.h"

static const char* parse(std::vector<const char*> words, PlayerArguments* arguments) {
    words.insert(words.begin(), "lumenfold.exe");
    return parse_player_arguments(static_cast<int>(words.size()), words.data(), arguments);
}

TEST(PlayerArguments, EveryFormGivesItsRequest) {
    PlayerArguments a;
    ASSERT_EQ(parse({}, &a), nullptr);
    EXPECT_TRUE(a.action == PlayerAction::Play && a.monitor == 0 && a.path == nullptr);
    ASSERT_EQ(parse({"disc.glsl", "ignored"}, &a), nullptr);
    EXPECT_STREQ(a.path, "disc.glsl");
    ASSERT_EQ(parse({"--monitor", "2", "C:\\w\\disc.glsl"}, &a), nullptr);
    EXPECT_EQ(a.monitor, 2);
    EXPECT_STREQ(a.path, "C:\\w\\disc.glsl");
    ASSERT_EQ(parse({"--monitor", "3"}, &a), nullptr);
    EXPECT_TRUE(a.monitor == 3 && a.path == nullptr) << "the built-in set on monitor 3";
    ASSERT_EQ(parse({"--resume"}, &a), nullptr);
    EXPECT_TRUE(a.action == PlayerAction::Resume);
    ASSERT_EQ(parse({"--quit"}, &a), nullptr);
    EXPECT_TRUE(a.action == PlayerAction::Quit);
}

TEST(PlayerArguments, WhatMakesNoSenseIsNamed) {
    PlayerArguments a;
    for (const std::vector<const char*>& words :
         std::vector<std::vector<const char*>>{{"--monitor"}, {"--monitor", "0"}, {"--monitor", "65", "x"},
                                               {"--monitor", "2x"}, {"--monitor", "-1"}, {"--resume", "x.glsl"},
                                               {"--quit", "--monitor", "2"}, {"--resume", "--quit"}, {"--fast"}}) {
        EXPECT_NE(parse(words, &a), nullptr) << words[0] << " " << (words.size() > 1 ? words[1] : "");
    }
}

static std::vector<unsigned char> encode(const PlayerArguments& arguments, uint32_t* kind) {
    size_t size = 0;
    void* payload = encode_forwarded_request(arguments, 77, kind, &size);
    std::vector<unsigned char> bytes(static_cast<unsigned char*>(payload), static_cast<unsigned char*>(payload) + size);
    free(payload);
    return bytes;
}

TEST(ForwardedRequest, EveryRequestSurvivesTheWayThrough) {
    const char* unicode = "C:\\\xC3\x9Cn\xC3\xAF\x63\xC3\xB8\x64\xC3\xA9 \xE5\xA3\x81\xE7\xBA\xB8\\\xF0\x9F\x8C\x8A.glsl";
    uint32_t kind = 0;
    std::vector<unsigned char> bytes = encode(PlayerArguments{PlayerAction::Play, 2, unicode}, &kind);
    EXPECT_EQ(kind, kForwardPlayKind);
    ForwardedRequest request = decode_forwarded_request(kind, bytes.data(), bytes.size());
    ASSERT_EQ(request.problem, nullptr);
    EXPECT_STREQ(request.path, unicode);
    EXPECT_EQ(request.monitor, 2);
    EXPECT_EQ(request.reply_thread, 77u);
    free_forwarded_request(&request);

    bytes = encode(PlayerArguments{PlayerAction::Play, 0, nullptr}, &kind);
    request = decode_forwarded_request(kind, bytes.data(), bytes.size());
    EXPECT_TRUE(request.problem == nullptr && request.path == nullptr) << "no path: the built-in set";

    bytes = encode(PlayerArguments{PlayerAction::Quit, 0, nullptr}, &kind);
    EXPECT_EQ(kind, kForwardQuitKind);
    request = decode_forwarded_request(kind, bytes.data(), bytes.size());
    EXPECT_TRUE(request.problem == nullptr && request.action == PlayerAction::Quit);
}

TEST(ForwardedRequest, TodaysCodePageFormIsStillRead) {
    const char payload[] = "C:\\walls\\disc.glsl\0garbage";
    ForwardedRequest request = decode_forwarded_request(kForwardAnsiKind, payload, sizeof payload);
    EXPECT_TRUE(request.path_is_ansi);
    EXPECT_STREQ(request.path, "C:\\walls\\disc.glsl");
    free_forwarded_request(&request);
    // The vector's storage ends at its last byte: a read past it shows under
    // the address sanitizer.
    const std::vector<char> unterminated = {'d', 'i', 's', 'c'};
    request = decode_forwarded_request(kForwardAnsiKind, unterminated.data(), unterminated.size());
    EXPECT_STREQ(request.path, "disc");
    free_forwarded_request(&request);
    EXPECT_EQ(decode_forwarded_request(kForwardAnsiKind, nullptr, 64).path, nullptr);
}

TEST(ForwardedRequest, GarbageIsRefusedWithAReason) {
    const std::vector<char> mebibyte(1 << 20, 'M');
    EXPECT_NE(decode_forwarded_request(kForwardAnsiKind, mebibyte.data(), mebibyte.size()).problem, nullptr);
    EXPECT_NE(decode_forwarded_request(kForwardPlayKind, mebibyte.data(), mebibyte.size()).problem, nullptr);
    const unsigned char short_header[7] = {1, 0, 0, 0, 0, 0, 0};
    EXPECT_NE(decode_forwarded_request(kForwardPlayKind, short_header, sizeof short_header).problem, nullptr);
    const uint32_t too_high[2] = {65, 0};
    EXPECT_NE(decode_forwarded_request(kForwardPlayKind, too_high, sizeof too_high).problem, nullptr);
    EXPECT_NE(decode_forwarded_request(0x1234, "x", 1).problem, nullptr);
    // An odd byte count and an unpaired surrogate still decode safely.
    const unsigned char odd[11] = {0, 0, 0, 0, 0, 0, 0, 0, 'a', 0, 0xD8};
    ForwardedRequest request = decode_forwarded_request(kForwardPlayKind, odd, sizeof odd);
    EXPECT_STREQ(request.path, "a");
    free_forwarded_request(&request);
}

TEST(TextEncoding, BadInputBecomesReplacementCharacters) {
    const uint16_t lone[] = {'a', 0xDC00, 'b', 0xD800};
    char* text = utf8_from_utf16(lone, 4);
    EXPECT_STREQ(text, "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
    free(text);
    // An overlong form, a cut sequence (each byte of it) and an encoded
    // surrogate are no characters.
    uint16_t* units = utf16_from_utf8("\xC0\xAFx\xE5\xA3\xED\xA0\x80", nullptr);
    const uint16_t expected[] = {0xFFFD, 'x', 0xFFFD, 0xFFFD, 0xFFFD, 0};
    for (size_t index = 0; index < sizeof expected / sizeof expected[0]; ++index) {
        EXPECT_EQ(units[index], expected[index]) << index;
    }
    free(units);
}

TEST(OutsideText, ControlCharactersCannotForgeALineAndLengthIsBounded) {
    EXPECT_STREQ(outside_text("a\nfirst frame presented: x\r\x7F").text, "a\\x0Afirst frame presented: x\\x0D\\x7F");
    const std::string long_text(5000, 'q');
    const std::string shown = outside_text(long_text.c_str()).text;
    EXPECT_EQ(shown, std::string(kOutsideTextLimit, 'q') + "... (3976 bytes more)");
    const std::string all_control(5000, '\x01');
    EXPECT_LT(strlen(outside_text(all_control.c_str()).text), 4 * kOutsideTextLimit + 64);
}
