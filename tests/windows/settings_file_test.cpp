// The settings file keeps any path a set was chosen from, whatever the
// system's code page, and its [player] keys stay readable.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/settings_file.h"
#include "base/text_encoding.h"
#include "tests/support/temp_folder.h"

static std::string file_bytes(const std::string& path) {
    std::string bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return bytes;
    char buffer[4096];
    size_t read = 0;
    while ((read = fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, read);
    fclose(file);
    return bytes;
}

static std::string remembered(const char* key) {
    char* path = remembered_pass_set(key);
    const std::string text = path ? path : "(none)";
    free(path);
    return text;
}

TEST(SettingsFile, AHandWrittenFileBecomesUtf16AndKeepsEveryKeyAndAnyPath) {
    TempFolder folder("settings");
    const std::string ini = folder.write("lumenfold.ini", "[player]\r\nframe_rate=20\r\nrender_scale=50\r\n");
    use_settings_folder(folder.path.c_str());
    EXPECT_EQ(remembered(kEveryMonitorKey), "(none)");

    // "Zoë", then 壁紙 ("wallpaper"): neither fits one code page with the other.
    const char chosen[] = "C:\\Users\\Zo\xC3\xAB\\\xE5\xA3\x81\xE7\xB4\x99\\disc.glsl";
    remember_pass_set(kEveryMonitorKey, chosen);
    EXPECT_EQ(remembered(kEveryMonitorKey), chosen);
    EXPECT_EQ(file_bytes(ini).substr(0, 2), "\xFF\xFE");
    uint16_t* wide_ini = utf16_from_utf8(ini.c_str(), nullptr);
    const LPCWSTR path = reinterpret_cast<LPCWSTR>(wide_ini);
    EXPECT_EQ(::GetPrivateProfileIntW(L"player", L"frame_rate", -1, path), 20u);
    EXPECT_EQ(::GetPrivateProfileIntW(L"player", L"render_scale", -1, path), 50u);
    free(wide_ini);

    // The built-in set is remembered as an empty path; a key per monitor
    // stands beside it.
    remember_pass_set(kEveryMonitorKey, nullptr);
    remember_pass_set("\\\\.\\DISPLAY2", "C:\\sets\\second.glsl");
    EXPECT_EQ(remembered(kEveryMonitorKey), "");
    EXPECT_EQ(remembered("\\\\.\\DISPLAY2"), "C:\\sets\\second.glsl");
}
