// The settings store: the platform's reading rules, and writing that keeps the rest of the file.
#include "startup/settings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/files.h"
#include "unit/profile_cases.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;
using Veltrane_B::ReadSetting;
using namespace std::string_literals;

TEST_F(SettingsFile, ReadingRules) {
    std::vector<profile_cases::ReadCase> cases = profile_cases::ReadCases();  // as the system reads
    cases.insert(
        cases.end(),
        {{"", "Section", "key", ""},  // no file
         {"  [ section ]  \n  KEY  =  spaced value  \n", "SECTION", "key", "spaced value"},
         {"[Section]\nkey=first\nkey=second\n", "Section", "key", "first"},
         {"[Section]\nother=1\n[Section]\nkey=in second section\n", "Section", "key", ""},
         {"[Section]\nkey=\"\n", "Section", "key", "\""},
         {"[Section]\nkey=a=b\n", "Section", "key", "a=b"},
         {"[Section]\nkey=" + std::string(300, 'x') + "\n", "Section", "key",
          std::string(255, 'x')},
         {"[Section]\nkey=last line without end", "Section", "key", "last line without end"},
         // A double-byte character whose second byte is an ASCII letter is not case-folded.
         {"[Section]\n\x83\x61=lower\n", "Section", "\x83\x41", ""},
         {"[Section]\n\x83\x61=exact\n", "Section", "\x83\x61", "exact"}});
    for (const auto& c : cases) {
        Put(c.contents);
        EXPECT_EQ(ReadSetting(c.section, c.key, path_), c.expected)
            << testing::PrintToString(c.contents) << " [" << c.section << "] " << c.key;
    }
}

TEST_F(SettingsFile, WritesAsTheSystemDoesKeepingEveryOtherLine) {
    std::vector<profile_cases::WriteCase> cases = profile_cases::WriteCases();
    for (const auto& [before, after] : std::initializer_list<std::pair<std::string, std::string>>{
             {"; comment\r\n[Other]\r\nx = 1\r\n",
              "; comment\r\n[Other]\r\nx = 1\r\n[Section]\r\nkey= 250\r\n"},
             {"[Other]\nx=1", "[Other]\nx=1\n[Section]\nkey= 250\n"},
             {"[SECTION]\r\n  KEY =  7 \r\nnext=2\r\n", "[SECTION]\r\nKEY= 250\r\nnext=2\r\n"},
             {"[Section]\r\na=1\r\n\r\n[Other]\r\n",
              "[Section]\r\na=1\r\nkey= 250\r\n\r\n[Other]\r\n"},
             {"[Section]\r\na=1", "[Section]\r\na=1\r\nkey= 250\r\n"}})
        cases.push_back({before, "Section", "key", " 250", after});
    for (const auto& c : cases) {
        Put(c.before);
        EXPECT_TRUE(Write(c.value, c.section, c.key));
        EXPECT_EQ(Get(), c.after) << testing::PrintToString(c.before);
        EXPECT_EQ(ReadSetting(c.section, c.key, path_), AsRead(c.value));
        EXPECT_TRUE(Strays().empty());
    }
}

TEST_F(SettingsFile, RefusedWriteLeavesTheOldFileAndSaysSo) {
    const std::string original = "[Section]\r\nkey= 100\r\n";
    const struct {
        std::string contents, target, value;
    } cases[] = {
        {original, "", "1\r\n[Evil]"},                                    // line break in the value
        {original, (fs::path(path_) / "Veltrane.ini").string(), " 200"},  // no such folder
        {"\xFE\xFF\0[\0S\0]"s, "", " 200"},                               // big-endian UTF-16
        {original + std::string(1 << 20, ';'), "", " 200"},               // over the size limit
    };
    for (const auto& [contents, target, value] : cases) {
        Put(contents);
        EXPECT_FALSE(Write(value, "Section", "key", target)) << value;
        EXPECT_EQ(Get(), contents);
        EXPECT_TRUE(Strays().empty());
    }
    // A folder in the file's place reads empty and is never replaced.
    fs::remove(path_);
    fs::create_directory(path_);
    EXPECT_EQ(ReadSetting("Section", "key", path_), "");
    EXPECT_FALSE(Write());
    EXPECT_TRUE(fs::is_directory(path_));
}

TEST_F(SettingsFile, ReplacementKeepsPermissionsAndRemovesOnlyLeftoversOfWritersThatDied) {
    const std::string dead = platform::TemporaryName("Veltrane.ini", 999999999, 3);
    const std::set<std::string> kept = {"Other.ini.tmp999999999-3", "Veltrane.ini.tmp",
                                        "Veltrane.ini.tmp999999999-", "Veltrane.ini.tmpx-1"};
    for (const std::string& name : kept) std::ofstream(folder_ / name) << "x";
    std::ofstream(folder_ / dead) << "[Section]\r\nkey=half";
    Put("[Section]\r\nkey=43\r\n");
    fs::permissions(file_, fs::perms(0640));  // kept by the replacement where the system has them
    const fs::perms permissions = fs::status(file_).permissions();
    EXPECT_TRUE(Write());
    EXPECT_EQ(Strays(), kept);
    EXPECT_EQ(fs::status(file_).permissions(), permissions);
}

// Locks a folder against new files, its files still writable (chattr +i, else chmod 555), or
// unlocks it, waiting up to 5 s; under Wine the Unix folder beneath, by a command not waited for.
bool LockFolder(const fs::path& folder, bool lock) {
    std::string name = folder.string();
#ifdef _WIN32
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    char* unix = unixName ? unixName(folder.c_str()) : nullptr;
    if (!unix) return false;
    name = unix;
    HeapFree(GetProcessHeap(), 0, unix);
#endif
    const std::string command = std::string("chattr ") + (lock ? "+i" : "-i") + " '" + name +
                                "' 2>/dev/null || chmod " + (lock ? "555" : "755") + " '" + name +
                                "'";
#ifdef _WIN32
    WinExec(("Z:/bin/sh -c \"" + command + "\"").c_str(), SW_HIDE);
#else
    std::system(command.c_str());
#endif
    for (int i = 0; i < 100; ++i) {
        std::error_code error;
        const bool made = fs::create_directory(folder / "probe", error);
        fs::remove(folder / "probe", error);
        if (made != lock) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

TEST_F(SettingsFile, WritableFileInAFolderThatIsNotIsRewrittenInPlace) {
    Put("[Section]\r\nkey=43\r\nlonger line that goes\r\n");
    if (!LockFolder(folder_, true)) GTEST_SKIP() << "no way to lock a folder on this file system";
    EXPECT_TRUE(Write());
    const std::string after = Get();
    LockFolder(folder_, false);
    EXPECT_EQ(after, "[Section]\r\nkey= 250\r\nlonger line that goes\r\n");
    EXPECT_TRUE(Strays().empty());
    // Without a file there is nothing to write in place.
    fs::remove(path_);
    ASSERT_TRUE(LockFolder(folder_, true));
    EXPECT_FALSE(Write());
    LockFolder(folder_, false);
    EXPECT_FALSE(fs::exists(path_));
}

}  // namespace
