// The settings file on a real Windows file system: the platform's own profile functions hold to
// the store's cases; files held open by other programs; attributes; folders in which no file can
// be created. Folders named in other scripts and deeper than the classic path limit are driven
// end to end by e2e/languages_test.sh.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/wide_path.h"
#include "startup/process_values.h"
#include "startup/settings.h"
#include "unit/profile_cases.h"

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

// Writes a file's bytes exactly.
void Put(const std::wstring& path, const std::string& contents) {
    HANDLE file = CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &n, nullptr);
    CloseHandle(file);
}

// A private folder with the settings file's name in it, removed with what it holds.
class SettingsFileOnWindows : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        base_ = std::wstring(temp) + L"veltrane-folders-" + std::to_wstring(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryW(Long(base_).c_str(), nullptr)) << GetLastError();
        wide_ = base_ + L"\\Veltrane.ini";
        path_ = platform::WideToUtf8(wide_);
    }
    void TearDown() override {
        for (const std::wstring& name : Entries(base_))
            DeleteFileW(Long(base_ + L"\\" + name).c_str());
        RemoveDirectoryW(Long(base_).c_str());
    }
    std::string PlatformRead(const std::string& section, const std::string& key) {
        char buffer[256] = {};
        GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, sizeof buffer,
                                 path_.c_str());
        return buffer;
    }
    bool Shows(profile_cases::Platform platform) {
        return platform == profile_cases::Everywhere ||
               (platform == profile_cases::JapaneseOnly && GetACP() == 932);
    }
    bool Write(const char* value = " 250") {
        Veltrane_B::LastApiResult = -1;
        Veltrane_B::WriteSetting("Section", "key", value, path_);
        return Veltrane_B::LastApiResult == 1;
    }

    std::wstring base_, wide_;
    std::string path_;
};

TEST_F(SettingsFileOnWindows, ThePlatformReadsAndWritesAsTheCasesSay) {
    int checked = 0;
    for (const auto& c : profile_cases::ReadCases()) {
        if (!Shows(c.platform)) continue;
        Put(wide_, c.contents);
        EXPECT_EQ(PlatformRead(c.section, c.key), c.expected)
            << testing::PrintToString(c.contents) << " [" << c.section << "] " << c.key;
        ++checked;
    }
    for (const auto& c : profile_cases::WriteCases()) {
        if (!Shows(c.platform)) continue;
        DeleteFileW(wide_.c_str());
        if (!c.before.empty()) Put(wide_, c.before);
        EXPECT_TRUE(WritePrivateProfileStringA(c.section.c_str(), c.key.c_str(), c.value.c_str(),
                                               path_.c_str()));
        EXPECT_EQ(FileText(wide_), c.after) << testing::PrintToString(c.before);
        ++checked;
    }
    EXPECT_GE(checked, 26);
}

// Whatever the store writes, lone CRs and zero bytes included, the platform reads the new value.
TEST_F(SettingsFileOnWindows, ThePlatformReadsWhatTheStoreWrites) {
    for (const auto& c : profile_cases::WriteCases()) {
        if (c.platform == profile_cases::JapaneseOnly && GetACP() != 932) continue;
        DeleteFileW(wide_.c_str());
        if (!c.before.empty()) Put(wide_, c.before);
        Veltrane_B::WriteSetting(c.section, c.key, c.value, path_);
        const std::size_t number = std::min(c.value.size(), c.value.find_first_not_of(' '));
        EXPECT_EQ(PlatformRead(c.section, c.key), c.value.substr(number))
            << testing::PrintToString(c.before);
    }
}

// Another program holds the file open: the write succeeds exactly where the system's writer
// does (when the other program shares both reading and writing), and reading works unless
// the other program refuses readers.
TEST_F(SettingsFileOnWindows, FileHeldOpenByAnotherProgram) {
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
    for (const auto& c : cases) {
        Put(wide_, original);
        HANDLE other = CreateFileW(wide_.c_str(), c.access, c.share, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(other, INVALID_HANDLE_VALUE);
        EXPECT_EQ(Veltrane_B::ReadSetting("Section", "key", path_), c.reads ? "123" : "")
            << c.access << " " << c.share;
        EXPECT_EQ(Write(), c.writes) << c.access << " " << c.share;
        CloseHandle(other);
        EXPECT_EQ(FileText(wide_), c.writes ? "[Section]\r\nkey= 250\r\n" : original);
        EXPECT_EQ(Entries(base_), std::vector<std::wstring>{L"Veltrane.ini"});
    }
    // A file that its writer will delete when it closes it reads as long as it is there.
    HANDLE passing = CreateFileW(wide_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    DWORD n = 0;
    WriteFile(passing, original.data(), static_cast<DWORD>(original.size()), &n, nullptr);
    EXPECT_EQ(Veltrane_B::ReadSetting("Section", "key", path_), "123");
    CloseHandle(passing);
}

TEST_F(SettingsFileOnWindows, AttributesSurviveAndReadOnlyIsRefused) {
    Put(wide_, "[Section]\r\nkey=43\r\n");
    ASSERT_TRUE(SetFileAttributesW(wide_.c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(Write());
    EXPECT_TRUE(GetFileAttributesW(wide_.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(FileText(wide_), "[Section]\r\nkey= 250\r\n");
    ASSERT_TRUE(SetFileAttributesW(wide_.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(Write(" 300"));
    EXPECT_EQ(FileText(wide_), "[Section]\r\nkey= 250\r\n");
    SetFileAttributesW(wide_.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Entries(base_), std::vector<std::wstring>{L"Veltrane.ini"});
}

// Wine keeps Windows' rule that a read-only attribute on a folder does not stop files being made
// in it, and does not enforce access lists; what it does honour is the Unix folder beneath.
// The test locks that folder from the Unix side (immutable for the superuser, whom permissions
// do not stop; read-only for anyone else). Wine starts Unix programs but cannot wait for them,
// so the lock is watched for by trying to create a file.
class LockedFolder {
  public:
    explicit LockedFolder(const std::wstring& folder) : folder_(folder) {
        using UnixName = char*(CDECL*)(const wchar_t*);
        const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
        if (!unixName) return;
        if (char* name = unixName(folder.c_str())) {
            unix_ = platform::Utf8ToWide(name);
            HeapFree(GetProcessHeap(), 0, name);
        }
        for (const auto& [program, lock, unlock] : kLocks) {
            if (Run(program, lock)) {
                unlock_ = {program, unlock};
                break;
            }
        }
    }
    ~LockedFolder() {
        if (!unlock_.first.empty()) {
            Start(unlock_.first, unlock_.second);
            Wait(false);
        }
    }
    bool Locked() const { return !unlock_.first.empty(); }

  private:
    void Start(const std::wstring& program, const std::wstring& argument) {
        std::wstring line = program + L" " + argument + L" \"" + unix_ + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (CreateProcessW((L"Z:" + program).c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                           nullptr, nullptr, &startup, &process)) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
    }
    bool CanCreate() {
        const std::wstring probe = Long(folder_ + L"\\probe");
        HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        CloseHandle(file);
        DeleteFileW(probe.c_str());
        return true;
    }
    // Waits up to five seconds for the folder to become (un)locked; true when it did.
    bool Wait(bool locked) {
        for (int i = 0; i < 100; ++i) {
            if (CanCreate() != locked) return true;
            Sleep(50);
        }
        return false;
    }
    bool Run(const std::wstring& program, const std::wstring& argument) {
        if (unix_.empty()) return false;
        Start(program, argument);
        return Wait(true);
    }

    std::wstring folder_;
    // Each way to lock: the program, and its arguments to lock and to unlock.
    static constexpr const wchar_t* kLocks[][3] = {{L"/usr/bin/chattr", L"+i", L"-i"},
                                                   {L"/bin/chmod", L"555", L"755"}};
    std::wstring unix_;
    std::pair<std::wstring, std::wstring> unlock_;  // the program and its arguments
};

TEST_F(SettingsFileOnWindows, WritableFileInAFolderThatIsNotIsRewrittenInPlace) {
    const std::string original = "[Section]\r\nkey=43\r\nlonger line that goes\r\n";
    Put(wide_, original);
    {
        LockedFolder lock(base_);
        if (!lock.Locked()) GTEST_SKIP() << "the folder could not be locked from the Unix side";
        EXPECT_TRUE(Write());
        EXPECT_EQ(FileText(wide_), "[Section]\r\nkey= 250\r\nlonger line that goes\r\n");
        // The system's own writer manages it too.
        EXPECT_TRUE(WritePrivateProfileStringA("Section", "key", " 300", path_.c_str()));
        EXPECT_EQ(PlatformRead("Section", "key"), "300");
    }
    EXPECT_EQ(Entries(base_), std::vector<std::wstring>{L"Veltrane.ini"});
    // In a locked folder without the file there is nothing to write.
    DeleteFileW(wide_.c_str());
    LockedFolder lock(base_);
    ASSERT_TRUE(lock.Locked());
    EXPECT_FALSE(Write());
    EXPECT_EQ(GetFileAttributesW(wide_.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
