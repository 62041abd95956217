// The settings store: the platform's reading rules, and writing that keeps the rest of the file.
#include "startup/settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "startup/process_values.h"
#include "unit/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using Veltrane_B::kIntervalKey;
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
    int Strays() const {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(folder_))
            count += entry.path().filename() != "Veltrane.ini";
        return count;
    }

    std::string path_;
};

TEST_F(SettingsFile, ReadingRules) {
    const std::string key = kIntervalKey;
    const struct {
        std::string contents;
        std::string section, key, expected;
    } cases[] = {
        {"[Section]\r\n" + key + "= 250\r\n", "Section", key, "250"},
        {"[Section]\n" + key + "= 250\n", "Section", key, "250"},
        {"  [ section ]  \n  KEY  =  spaced value  \n", "SECTION", "key", "spaced value"},
        {"[Section]\nkey=first\nkey=second\n", "Section", "key", "first"},
        {"[Section]\nother=1\n[Section]\nkey=in second section\n", "Section", "key", ""},
        {"[Other]\nkey=1\n", "Section", "key", ""},
        {"key=before any section\n[Section]\n", "Section", "key", ""},
        {"[Section]\nkey=\"quoted\"\n", "Section", "key", "quoted"},
        {"[Section]\nkey=\"\n", "Section", "key", "\""},
        {"[Section]\nkey=a=b\n", "Section", "key", "a=b"},
        {"[Section]\nkey\n", "Section", "key", ""},
        {"[Section]\nkey=" + std::string(300, 'x') + "\n", "Section", "key", std::string(255, 'x')},
        {"[Section]\nkey=last line without end", "Section", "key", "last line without end"},
        // A double-byte character whose second byte is an ASCII letter is not case-folded.
        {"[Section]\n\x83\x61=lower\n", "Section", "\x83\x41", ""},
        {"[Section]\n\x83\x61=exact\n", "Section", "\x83\x61", "exact"},
        {"[Section]\nkey=1\0binary"s, "Section", "key", ""},
    };
    for (const auto& c : cases) {
        Put(c.contents);
        EXPECT_EQ(ReadSetting(c.section, c.key, path_), c.expected) << c.contents;
    }
}

TEST_F(SettingsFile, MissingOrUnreadableFileReadsEmpty) {
    EXPECT_EQ(ReadSetting("Section", "key", path_), "");
    fs::create_directory(path_);  // a folder of that name
    EXPECT_EQ(ReadSetting("Section", "key", path_), "");
}

TEST_F(SettingsFile, WritingKeepsEveryOtherLine) {
    const struct {
        std::string before;
        std::string after;
    } cases[] = {
        {"", "[Section]\r\nkey= 250\r\n"},
        {"; comment\r\n[Other]\r\nx = 1\r\n",
         "; comment\r\n[Other]\r\nx = 1\r\n[Section]\r\nkey= 250\r\n"},
        {"[Other]\nx=1", "[Other]\nx=1\n[Section]\nkey= 250\n"},
        {"[SECTION]\r\n  KEY =  7 \r\nnext=2\r\n", "[SECTION]\r\nKEY= 250\r\nnext=2\r\n"},
        {"[Section]\r\na=1\r\n\r\n[Other]\r\n", "[Section]\r\na=1\r\nkey= 250\r\n\r\n[Other]\r\n"},
        {"[Section]\r\na=1", "[Section]\r\na=1\r\nkey= 250\r\n"},
        {"[Other]\r", "[Other]\r\r\n[Section]\r\nkey= 250\r\n"},  // a last line ending in a lone CR
    };
    for (const auto& c : cases) {
        Put(c.before);
        if (c.before.empty()) fs::remove(path_);
        Veltrane_B::LastApiResult = 0;
        EXPECT_EQ(WriteSetting("Section", "key", " 250", path_), "");
        EXPECT_EQ(Veltrane_B::LastApiResult, 1);
        EXPECT_EQ(Get(), c.after) << c.before;
        EXPECT_EQ(ReadSetting("Section", "key", path_), "250");
        EXPECT_EQ(Strays(), 0);
    }
}

TEST_F(SettingsFile, FailedWriteLeavesTheOldFileAndSaysSo) {
    const std::string original = "[Section]\r\nkey= 100\r\n";
    const struct {
        std::string target;
        std::string value;
    } cases[] = {
        {"", "1\r\n[Evil]"},                                    // line break in the value
        {(fs::path(path_) / "Veltrane.ini").string(), " 200"},  // folder that does not exist
    };
    for (const auto& c : cases) {
        Put(original);
        Veltrane_B::LastApiResult = 1;
        WriteSetting("Section", "key", c.value, c.target.empty() ? path_ : c.target);
        EXPECT_EQ(Veltrane_B::LastApiResult, 0) << c.value;
        EXPECT_EQ(Get(), original);
        EXPECT_EQ(Strays(), 0);
    }
    // A folder in the file's place is never replaced.
    fs::remove(path_);
    fs::create_directory(path_);
    WriteSetting("Section", "key", " 200", path_);
    EXPECT_EQ(Veltrane_B::LastApiResult, 0);
    EXPECT_TRUE(fs::is_directory(path_));
}

TEST(SettingsPath, JoinsFolderAndNameAsTheyAre) {
    EXPECT_EQ(Veltrane_B::SettingsFilePath("C:\\Program Files\\Saver"),
              "C:\\Program Files\\Saver\\Veltrane.ini");
    EXPECT_EQ(Veltrane_B::SettingsFilePath("C:\\"), "C:\\\\Veltrane.ini");
}

}  // namespace
