// The settings file on a real Windows file system: folders named in any script and deeper than
// the classic path limit, reached through UTF-8 paths whatever the system's code page.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/wide_path.h"
#include "startup/process_values.h"
#include "startup/settings.h"

namespace {

// The long form of a folder path, which every file function takes at any length.
std::wstring Long(const std::wstring& path) {
    return L"\\\\?\\" + path;
}

// The names in a folder besides "." and "..".
std::vector<std::wstring> Entries(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Long(folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::string FileText(const std::wstring& path) {
    HANDLE file = CreateFileW(Long(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "";
    char buffer[4096];
    DWORD n = 0;
    ReadFile(file, buffer, sizeof buffer, &n, nullptr);
    CloseHandle(file);
    return std::string(buffer, n);
}

class SettingsFolders : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        base_ = std::wstring(temp) + L"veltrane-folders-" + std::to_wstring(GetCurrentProcessId());
        Make(base_);
    }
    void TearDown() override {
        for (auto folder = made_.rbegin(); folder != made_.rend(); ++folder) {
            for (const std::wstring& name : Entries(*folder))
                DeleteFileW(Long(*folder + L"\\" + name).c_str());
            RemoveDirectoryW(Long(*folder).c_str());
        }
    }
    void Make(const std::wstring& folder) {
        ASSERT_TRUE(CreateDirectoryW(Long(folder).c_str(), nullptr)) << GetLastError();
        made_.push_back(folder);
    }

    std::wstring base_;
    std::vector<std::wstring> made_;
};

TEST_F(SettingsFolders, AnyScriptAndAnyDepth) {
    std::wstring deep = base_;
    while (deep.size() < 2 * MAX_PATH) {
        deep += L"\\" + std::wstring(60, L'd');
        Make(deep);
    }
    const std::wstring folders[] = {
        base_ + L"\\\u8a2d\u5b9a\u30d5\u30a9\u30eb\u30c0",  // Japanese
        base_ + L"\\\uc124\uc815",                          // Korean
        base_ + L"\\R\u00e9glages \u00e0 c\u00f4t\u00e9",   // accented Latin
        base_ + L"\\\U0001F389 \U0001F680",                 // emoji outside the first plane
        deep + L"\\\u8a2d\u5b9a",                           // deeper than the classic limit
    };
    for (const std::wstring& folder : folders) {
        Make(folder);
        const std::string file = Veltrane_B::SettingsFilePath(platform::WideToUtf8(folder));
        Veltrane_B::LastApiResult = 0;
        Veltrane_B::WriteSetting(Veltrane_B::kSettingsSection, Veltrane_B::kIntervalKey, " 250",
                                 file);
        EXPECT_EQ(Veltrane_B::LastApiResult, 1) << file;
        EXPECT_EQ(
            Veltrane_B::ReadSetting(Veltrane_B::kSettingsSection, Veltrane_B::kIntervalKey, file),
            "250")
            << file;
        // The file sits under its real name in that folder, and nothing else does.
        EXPECT_EQ(Entries(folder), std::vector<std::wstring>{L"Veltrane.ini"}) << file;
        EXPECT_NE(FileText(folder + L"\\Veltrane.ini").find("= 250"), std::string::npos) << file;
    }
}

}  // namespace
