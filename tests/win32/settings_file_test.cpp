// The settings file under Wine: the system's profile functions, files held open, attributes.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "unit/profile_cases.h"

namespace {

std::string PlatformRead(const std::string& section, const std::string& key,
                         const std::string& file) {
    char buffer[256] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, sizeof buffer, file.c_str());
    return buffer;
}

bool Shows(profile_cases::Platform platform) {
    return platform == profile_cases::Everywhere ||
           (platform == profile_cases::JapaneseOnly && GetACP() == 932);
}

// The system reads and writes as the cases say, and reads whatever the store writes.
TEST_F(SettingsFile, ThePlatformKeepsTheCasesAndReadsWhatTheStoreWrites) {
    int checked = 0;
    for (const auto& c : profile_cases::ReadCases()) {
        if (!Shows(c.platform)) continue;
        Put(c.contents);
        EXPECT_EQ(PlatformRead(c.section, c.key, path_), c.expected)
            << testing::PrintToString(c.contents) << " [" << c.section << "] " << c.key;
        ++checked;
    }
    for (const auto& c : profile_cases::WriteCases()) {
        if (c.platform == profile_cases::JapaneseOnly && GetACP() != 932) continue;
        if (Shows(c.platform)) {
            Put(c.before);
            EXPECT_TRUE(WritePrivateProfileStringA(c.section.c_str(), c.key.c_str(),
                                                   c.value.c_str(), path_.c_str()));
            EXPECT_EQ(Get(), c.after) << testing::PrintToString(c.before);
            ++checked;
        }
        Put(c.before);
        Veltrane_B::WriteSetting(c.section, c.key, c.value, path_);
        EXPECT_EQ(PlatformRead(c.section, c.key, path_), AsRead(c.value))
            << testing::PrintToString(c.before);
    }
    EXPECT_GE(checked, 26);
}

// Held open by another program: written where the system's writer writes, read unless refused.
TEST_F(SettingsFile, FileHeldOpenByAnotherProgram) {
    const struct {
        DWORD access, share;
        bool writes, reads;
    } cases[] = {
        {GENERIC_READ, FILE_SHARE_READ, false, true},
        {GENERIC_WRITE, FILE_SHARE_WRITE, false, false},
        {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, false, true},
        {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, false, false},
        {GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, true, true},
        {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true, true},
    };
    const std::string original = "[Section]\r\nkey=123\r\n";
    for (const auto& [access, share, writes, reads] : cases) {
        Put(original);
        HANDLE other = CreateFileW(file_.c_str(), access, share, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(other, INVALID_HANDLE_VALUE);
        SCOPED_TRACE(std::to_string(access) + " " + std::to_string(share));
        EXPECT_EQ(Veltrane_B::ReadSetting("Section", "key", path_), reads ? "123" : "");
        EXPECT_EQ(Write(), writes);
        CloseHandle(other);
        EXPECT_EQ(Get(), writes ? "[Section]\r\nkey= 250\r\n" : original);
        EXPECT_TRUE(Strays().empty());
    }
    // A file that its writer will delete when it closes it reads as long as it is there.
    Put(original);
    HANDLE passing = CreateFileW(file_.c_str(), DELETE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    ASSERT_NE(passing, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Veltrane_B::ReadSetting("Section", "key", path_), "123");
    CloseHandle(passing);
}

TEST_F(SettingsFile, AttributesSurviveAndReadOnlyIsRefused) {
    Put("[Section]\r\nkey=43\r\n");
    ASSERT_TRUE(SetFileAttributesW(file_.c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(Write());
    EXPECT_TRUE(GetFileAttributesW(file_.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(Get(), "[Section]\r\nkey= 250\r\n");
    ASSERT_TRUE(SetFileAttributesW(file_.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(Write(" 300"));
    EXPECT_EQ(Get(), "[Section]\r\nkey= 250\r\n");
    SetFileAttributesW(file_.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(Strays().empty());
}

}  // namespace
