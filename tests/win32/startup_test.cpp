// Start-up of the real Veltrane.scr under Wine, and the settings file as the platform's own
// profile functions read and write it.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "process_helpers.h"
#include "startup/settings.h"

namespace {

using veltrane_test::SaverProcess;

TEST(Startup, CommandLinesWithoutAModeEndAtOnceWithoutAWindow) {
    for (const char* line : {"/x", "/q", "S"}) {
        SaverProcess saver(line);
        ASSERT_TRUE(saver.Started()) << veltrane_test::ScreenSaverPath();
        EXPECT_TRUE(saver.EndsWithin(5000)) << line;
        EXPECT_EQ(saver.ExitCode(), 0u) << line;
    }
}

TEST(Startup, RunningInstanceEndsEveryCommandLine) {
    for (const wchar_t* title : {L"Veltrane_Main", L"<Veltrane>"}) {
        HWND marker = CreateWindowExW(0, L"STATIC", title, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      nullptr, nullptr);
        ASSERT_NE(marker, nullptr);
        HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 0, 0, 152, 112,
                                    nullptr, nullptr, nullptr, nullptr);
        const std::string preview = "/p " + std::to_string(reinterpret_cast<std::uintptr_t>(host));
        for (const std::string& line : {std::string("/s"), std::string(""), std::string("/c"),
                                        preview, std::string("/a 1")}) {
            SaverProcess saver(line);
            EXPECT_TRUE(saver.EndsWithin(5000)) << line;
            EXPECT_EQ(saver.ExitCode(), 0u) << line;
        }
        DestroyWindow(host);
        DestroyWindow(marker);
    }
}

class ProfileInterop : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = (std::filesystem::temp_directory_path() / "veltrane-interop.ini").string();
        DeleteFileA(path_.c_str());
    }
    void TearDown() override { DeleteFileA(path_.c_str()); }
    std::string PlatformRead(const char* section, const char* key) {
        char buffer[256] = {};
        GetPrivateProfileStringA(section, key, "", buffer, sizeof buffer, path_.c_str());
        return buffer;
    }
    std::string path_;
};

TEST_F(ProfileInterop, PlatformWritesWeRead) {
    const struct {
        const char* section;
        const char* key;
        const char* value;
        const char* readSection;
        const char* readKey;
    } cases[] = {
        {"Section", Veltrane_B::kIntervalKey, " 250", "Section", Veltrane_B::kIntervalKey},
        {"Section", "Other", "1500", "SECTION", "other"},
        {"Second", "Key", "value with spaces", "second", "KEY"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WritePrivateProfileStringA(c.section, c.key, c.value, path_.c_str()));
    }
    for (const auto& c : cases) {
        EXPECT_EQ(Veltrane_B::ReadSetting(c.readSection, c.readKey, path_),
                  PlatformRead(c.readSection, c.readKey))
            << c.key;
        EXPECT_NE(Veltrane_B::ReadSetting(c.readSection, c.readKey, path_), "");
    }
}

TEST_F(ProfileInterop, WeWriteThePlatformReads) {
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {"Section", Veltrane_B::kIntervalKey, " 100"},
        {"Section", Veltrane_B::kIntervalKey, " 3000"},  // replaces the line above
        {"Section", "Other", "7"},
        {"Another", "Key", "x"},
    };
    for (const auto& c : cases) {
        Veltrane_B::WriteSetting(c.section, c.key, c.value, path_);
        // The platform trims the blank in front of a number, as our reader does.
        EXPECT_EQ(PlatformRead(c.section, c.key), Veltrane_B::ReadSetting(c.section, c.key, path_))
            << c.value;
    }
    EXPECT_EQ(PlatformRead("Section", Veltrane_B::kIntervalKey), "3000");
    EXPECT_EQ(PlatformRead("Section", "Other"), "7");
    EXPECT_EQ(PlatformRead("Another", "Key"), "x");
}

}  // namespace
