// Settings files and what the system's profile functions make of them (Wine's suite for them, and
// shapes other programs leave): unit tests hold the store to them, Win32 tests the system.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "startup/settings.h"
#include "unit/process_values_guard.h"
#include "unit/temp_folder.h"

namespace profile_cases {

using namespace std::string_literals;

// "表示インターバル" in code page 932 and in UTF-16.
inline const std::string kKey932 =
    "\x95\x5c\x8e\xa6\x83\x43\x83\x93\x83\x5e\x81\x5b\x83\x6f\x83\x8b";
inline const std::u16string kKey16 = u"\u8868\u793a\u30a4\u30f3\u30bf\u30fc\u30d0\u30eb";

// The bytes of a UTF-16 LE file with its byte-order mark.
inline std::string Utf16File(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text)
        bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return bytes;
}

// Which systems show the expected result with their own profile functions.
enum Platform {
    Everywhere,    // Windows and Wine alike
    WindowsOnly,   // Wine's result differs (its conformance test marks the case as a known fault)
    JapaneseOnly,  // the code page 932 key: only where the system's code page is 932
    NotPlatform,   // our own choice where the system crashes or its result is unknown
};

struct ReadCase {
    std::string contents;
    std::string section, key, expected;
    Platform platform = Everywhere;
};

inline std::vector<ReadCase> ReadCases() {
    std::vector<ReadCase> cases;
    // The suite's reading cases, on a file with CR LF line ends and on one with lone CRs.
    for (const std::string end : {"\r\n", "\r"}) {
        const std::string file = "[section1]" + end + "name1=val1" + end + "name2=\"val2\"" + end +
                                 "name3" + end + "name4=a" + end + "[section2]" + end;
        const std::pair<const char*, const char*> found[] = {
            {"name1", "val1"}, {"name2", "val2"}, {"NaMe1", "val1"},
            {"name3", ""},     {"name4", "a"},    {"notakey", ""},
        };
        for (const auto& [key, value] : found) cases.push_back({file, "section1", key, value});
        cases.push_back({file, "notasection", "name1", ""});
        cases.push_back({file, "section2", "DoesntExist", ""});
    }
    const std::string names =
        "\r\nkey=val_no_section\r\n[]\r\nkey=val_e_section\r\n[s]\r\n"
        "=val_no_key\r\n[t]\r\n";
    cases.push_back({names, "", "key", "val_e_section", NotPlatform});
    cases.push_back({names, "s", "", "val_no_key", NotPlatform});
    cases.push_back({"[ section1 ]\r\nk=v\r\n", "section1", "k", "v"});
    // Zero bytes: at the end (an interrupted writer), before the first section, inside a value.
    cases.push_back({"[Section]\r\nkey=43\r\n\0"s, "Section", "key", "43"});
    cases.push_back(
        {"Data \0 before \0 first \0 section\r\n[Section]\r\nkey=1\r\n"s, "Section", "key", "1"});
    cases.push_back({"[Section]\r\nkey=43\0junk\r\n"s, "Section", "key", "43"});
    cases.push_back({Utf16File(u"[Section]\r\nkey=43\r\n"), "Section", "key", "43"});
    cases.push_back({Utf16File(u"[Section]\rkey=43\r"), "Section", "key", "43"});
    cases.push_back({Utf16File(u"[Section]\r\n" + kKey16 + u"= 250\r\n"), "Section", kKey932, "250",
                     JapaneseOnly});
    cases.push_back({Utf16File(u"[Section]\r\nkey=\u8868\ud55c\r\n"), "Section", "key", "\x95\x5c?",
                     JapaneseOnly});
    // Big-endian UTF-16 is left alone.
    cases.push_back({"\xFE\xFF\0[\0S\0]\0\r\0\n\0k\0=\0\x31\0\r\0\n"s, "S", "k", "", NotPlatform});
    return cases;
}

struct WriteCase {
    std::string before;  // "" for no file
    std::string section, key, value;
    std::string after;
    Platform platform = Everywhere;  // where the system writes exactly these bytes
};

inline std::vector<WriteCase> WriteCases() {
    const std::string app123 =
        "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n[App2]\r\nkey4=string4\r\n";
    const std::string data = "Data \0 before \0 first \0 section"s;
    return {
        // The suite's writing cases.
        {app123, "App3", "key5", "string5", app123 + "[App3]\r\nkey5=string5\r\n"},
        {"", "App", "key", "", "[App]\r\nkey=\r\n"},
        {data, "section1", "key1", "string1", data + "\r\n[section1]\r\nkey1=string1\r\n",
         WindowsOnly},
        // Lone CR line ends: the key is found and replaced, the file keeps its line ends.
        {"[Section]\rkey=43\r", "Section", "key", " 250", "[Section]\rkey= 250\r", NotPlatform},
        {"[Other]\r", "Section", "key", " 250", "[Other]\r[Section]\rkey= 250\r", NotPlatform},
        // A zero byte at the end stays where it was.
        {"[Section]\r\nkey=43\r\n\0"s, "Section", "key", " 250", "[Section]\r\nkey= 250\r\n\0"s,
         NotPlatform},
        // UTF-16 files stay UTF-16, and keep characters that have no code page 932 form.
        {Utf16File(u"[Section]\r\nkey=43\r\n"), "Section", "key", "250",
         Utf16File(u"[Section]\r\nkey=250\r\n")},
        {Utf16File(u"; \U0001F600 \u00e9\r\n"), "Section", "key", "250",
         Utf16File(u"; \U0001F600 \u00e9\r\n[Section]\r\nkey=250\r\n")},
        {Utf16File(u"[Section]\r\n" + kKey16 + u"=100\r\n"), "Section", kKey932, "250",
         Utf16File(u"[Section]\r\n" + kKey16 + u"=250\r\n"), JapaneseOnly},
    };
}

}  // namespace profile_cases

class SettingsFile : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        file_ = folder_ / "Veltrane.ini";
        path_ = file_.string();
    }
    void Put(const std::string& contents) {  // "" leaves no file
        std::filesystem::remove(file_);
        if (!contents.empty()) std::ofstream(file_, std::ios::binary) << contents;
    }
    std::string Get() const { return ReadAll(path_); }
    // Files beside the settings file other than itself (leftover temporaries).
    std::set<std::string> Strays() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_))
            if (entry.path().filename() != "Veltrane.ini")
                names.insert(entry.path().filename().string());
        return names;
    }
    // Whether the store says it wrote `value` under `key` in `section` of the file (or `file`).
    bool Write(const std::string& value = " 250", const std::string& section = "Section",
               const std::string& key = "key", const std::string& file = "") {
        Veltrane_B::LastApiResult = -1;
        EXPECT_EQ(Veltrane_B::WriteSetting(section, key, value, file.empty() ? path_ : file), "");
        return Veltrane_B::LastApiResult == 1;
    }
    // What the reader makes of a written value: it drops the blank in front of a number.
    static std::string AsRead(const std::string& value) {
        return value.substr(std::min(value.size(), value.find_first_not_of(' ')));
    }

    std::filesystem::path file_;
    std::string path_;
    ProcessValuesGuard processValues_;
};
