// The settings store: the platform's reading rules, and writing that keeps the rest of the file.
#include "startup/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "startup/process_values.h"
#include "unit/profile_cases.h"
#include "unit/temp_folder.h"

#ifndef _WIN32
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using Veltrane_B::ReadSetting;
using Veltrane_B::WriteSetting;
using namespace std::string_literals;

class SettingsFile : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        path_ = (folder_ / "Veltrane.ini").string();
    }
    void Put(const std::string& contents) { std::ofstream(path_, std::ios::binary) << contents; }
    std::string Get() const { return ReadAll(path_); }
    // Files beside the settings file other than itself (leftover temporaries).
    std::vector<std::string> Strays() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_))
            if (entry.path().filename() != "Veltrane.ini")
                names.push_back(entry.path().filename().string());
        return names;
    }
    // Writes " 250" under "key" and says whether the store reported success.
    bool Write(const std::string& file, const std::string& value = " 250") {
        Veltrane_B::LastApiResult = -1;
        EXPECT_EQ(WriteSetting("Section", "key", value, file), "");
        return Veltrane_B::LastApiResult == 1;
    }

    std::string path_;
};

TEST_F(SettingsFile, ReadingRules) {
    const std::string key = Veltrane_B::kIntervalKey;
    const profile_cases::ReadCase cases[] = {
        {"[Section]\r\n" + key + "= 250\r\n", "Section", key, "250"},
        {"[Section]\n" + key + "= 250\n", "Section", key, "250"},
        {"  [ section ]  \n  KEY  =  spaced value  \n", "SECTION", "key", "spaced value"},
        {"[Section]\nkey=first\nkey=second\n", "Section", "key", "first"},
        {"[Section]\nother=1\n[Section]\nkey=in second section\n", "Section", "key", ""},
        {"key=before any section\n[Section]\n", "Section", "key", ""},
        {"[Section]\nkey=\"\n", "Section", "key", "\""},
        {"[Section]\nkey=a=b\n", "Section", "key", "a=b"},
        {"[Section]\nkey=" + std::string(300, 'x') + "\n", "Section", "key", std::string(255, 'x')},
        {"[Section]\nkey=last line without end", "Section", "key", "last line without end"},
        // A double-byte character whose second byte is an ASCII letter is not case-folded.
        {"[Section]\n\x83\x61=lower\n", "Section", "\x83\x41", ""},
        {"[Section]\n\x83\x61=exact\n", "Section", "\x83\x61", "exact"},
    };
    std::vector<profile_cases::ReadCase> all(std::begin(cases), std::end(cases));
    for (const auto& c : profile_cases::ReadCases()) all.push_back(c);  // as the system reads
    for (const auto& c : all) {
        Put(c.contents);
        EXPECT_EQ(ReadSetting(c.section, c.key, path_), c.expected)
            << testing::PrintToString(c.contents) << " [" << c.section << "] " << c.key;
    }
}

TEST_F(SettingsFile, MissingOrUnreadableFileReadsEmpty) {
    EXPECT_EQ(ReadSetting("Section", "key", path_), "");
    fs::create_directory(path_);  // a folder of that name
    EXPECT_EQ(ReadSetting("Section", "key", path_), "");
}

TEST_F(SettingsFile, WritesAsTheSystemDoesKeepingEveryOtherLine) {
    std::vector<profile_cases::WriteCase> cases = profile_cases::WriteCases();
    const std::pair<std::string, std::string> more[] = {
        {"; comment\r\n[Other]\r\nx = 1\r\n",
         "; comment\r\n[Other]\r\nx = 1\r\n[Section]\r\nkey= 250\r\n"},
        {"[Other]\nx=1", "[Other]\nx=1\n[Section]\nkey= 250\n"},
        {"[SECTION]\r\n  KEY =  7 \r\nnext=2\r\n", "[SECTION]\r\nKEY= 250\r\nnext=2\r\n"},
        {"[Section]\r\na=1\r\n\r\n[Other]\r\n", "[Section]\r\na=1\r\nkey= 250\r\n\r\n[Other]\r\n"},
        {"[Section]\r\na=1", "[Section]\r\na=1\r\nkey= 250\r\n"},
    };
    for (const auto& [before, after] : more)
        cases.push_back({before, "Section", "key", " 250", after});
    for (const auto& c : cases) {
        Put(c.before);
        if (c.before.empty()) fs::remove(path_);
        Veltrane_B::LastApiResult = 0;
        EXPECT_EQ(WriteSetting(c.section, c.key, c.value, path_), "");
        EXPECT_EQ(Veltrane_B::LastApiResult, 1);
        EXPECT_EQ(Get(), c.after) << testing::PrintToString(c.before);
        // The reader drops the blank in front of a number.
        EXPECT_EQ(ReadSetting(c.section, c.key, path_),
                  c.value.substr(std::min(c.value.size(), c.value.find_first_not_of(' '))));
        EXPECT_TRUE(Strays().empty());
    }
}

TEST_F(SettingsFile, RefusedWriteLeavesTheOldFileAndSaysSo) {
    const std::string original = "[Section]\r\nkey= 100\r\n";
    const struct {
        std::string contents;
        std::string target;
        std::string value;
    } cases[] = {
        {original, "", "1\r\n[Evil]"},                                    // line break in the value
        {original, (fs::path(path_) / "Veltrane.ini").string(), " 200"},  // no such folder
        {"\xFE\xFF\0[\0S\0]"s, "", " 200"},                               // big-endian UTF-16
        {original + std::string(1 << 20, ';'), "", " 200"},               // over the size limit
    };
    for (const auto& c : cases) {
        Put(c.contents);
        EXPECT_FALSE(Write(c.target.empty() ? path_ : c.target, c.value)) << c.value;
        EXPECT_EQ(Get(), c.contents);
        EXPECT_TRUE(Strays().empty());
    }
    // A folder in the file's place is never replaced.
    fs::remove(path_);
    fs::create_directory(path_);
    EXPECT_FALSE(Write(path_));
    EXPECT_TRUE(fs::is_directory(path_));
}

TEST_F(SettingsFile, SuccessfulWriteRemovesOnlyLeftoversOfWritersThatDied) {
    const std::string dead = platform::TemporaryName("Veltrane.ini", 999999999, 3);
    const std::string kept[] = {"Veltrane.ini.tmp", "Veltrane.ini.tmpx-1",
                                "Other.ini.tmp999999999-3", "Veltrane.ini.tmp999999999-"};
    for (const std::string& name : kept) std::ofstream(folder_ / name) << "x";
    std::ofstream(folder_ / dead) << "[Section]\r\nkey=half";
    Put("[Section]\r\nkey=43\r\n");
    EXPECT_TRUE(Write(path_));
    std::vector<std::string> strays = Strays();
    std::sort(strays.begin(), strays.end());
    std::vector<std::string> expected(std::begin(kept), std::end(kept));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(strays, expected);
}

#ifndef _WIN32
// Makes a folder in which no file can be created while its files stay writable: immutable for
// the superuser (whom permissions do not stop), read-only for anyone else. False when the file
// system allows neither.
bool LockFolder(const fs::path& folder, bool lock) {
    if (::geteuid() == 0) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        if (fd < 0) return false;
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = lock ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        if (!ok) return false;
    } else if (::chmod(folder.c_str(), lock ? 0555 : 0755) != 0) {
        return false;
    }
    return !lock || ::open((folder / "probe").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644) < 0;
}

TEST_F(SettingsFile, WritableFileInAFolderThatIsNotIsRewrittenInPlace) {
    Put("[Section]\r\nkey=43\r\nlonger line that goes\r\n");
    if (!LockFolder(folder_, true)) GTEST_SKIP() << "no way to lock a folder on this file system";
    EXPECT_TRUE(Write(path_));
    const std::string after = Get();
    LockFolder(folder_, false);
    EXPECT_EQ(after, "[Section]\r\nkey= 250\r\nlonger line that goes\r\n");
    EXPECT_TRUE(Strays().empty());
    // Without a file there is nothing to write in place.
    fs::remove(path_);
    ASSERT_TRUE(LockFolder(folder_, true));
    EXPECT_FALSE(Write(path_));
    LockFolder(folder_, false);
    EXPECT_FALSE(fs::exists(path_));
}

TEST_F(SettingsFile, ReplacementKeepsTheFilePermissions) {
    Put("[Section]\r\nkey=43\r\n");
    ASSERT_EQ(::chmod(path_.c_str(), 0640), 0);
    EXPECT_TRUE(Write(path_));
    struct stat info {};
    ASSERT_EQ(::stat(path_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}
#endif

}  // namespace
