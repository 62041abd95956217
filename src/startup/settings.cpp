#include "startup/settings.h"

#include <optional>
#include <vector>

#include "platform/files.h"
#include "startup/process_values.h"

namespace Veltrane_B {
namespace {

// Larger files are not settings files of ours; they read as missing.
constexpr std::size_t kMaxFileBytes = 1 << 20;
// What the platform's reader hands back at most: a 256-byte buffer with its terminating zero.
constexpr std::size_t kMaxValueBytes = 255;
// Names are passed in fields of 128 characters.
constexpr std::size_t kNameField = 128;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string Trim(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// Code page 932 lead bytes: the byte after one is part of the same character.
bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Compares names the way the platform does for this file: ASCII letters without regard to case,
// every other byte exactly, and never folding the second byte of a double-byte character.
bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]);
        const unsigned char y = static_cast<unsigned char>(b[i]);
        if (IsLeadByte(x)) {
            if (x != y || i + 1 >= a.size() || a[i + 1] != b[i + 1]) return false;
            ++i;
            continue;
        }
        const auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
        if (lower(x) != lower(y)) return false;
    }
    return true;
}

// One line of the file, as it stands, with what it means.
struct Line {
    std::string text;    // without its line end
    std::string ending;  // "\r\n", "\n" or "" for a last line without one
    enum Kind { Other, Section, Key } kind = Other;
    std::string name;   // section or key name, trimmed
    std::string value;  // key value, trimmed
};

std::vector<Line> SplitLines(const std::string& contents) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < contents.size()) {
        std::size_t end = contents.find('\n', start);
        Line line;
        if (end == std::string::npos) {
            line.text = contents.substr(start);
            end = contents.size();
        } else {
            line.text = contents.substr(start, end - start);
            line.ending.push_back('\n');
            ++end;
        }
        // A carriage return belongs to the line end only in front of a line feed.
        if (!line.ending.empty() && !line.text.empty() && line.text.back() == '\r') {
            line.text.pop_back();
            line.ending.insert(0, 1, '\r');
        }
        const std::string trimmed = Trim(line.text);
        if (!trimmed.empty() && trimmed.front() == '[') {
            line.kind = Line::Section;
            const std::size_t close = trimmed.rfind(']');
            line.name = Trim(trimmed.substr(
                1, close == std::string::npos || close == 0 ? std::string::npos : close - 1));
        } else if (const std::size_t equals = trimmed.find('='); equals != std::string::npos) {
            line.kind = Line::Key;
            line.name = Trim(trimmed.substr(0, equals));
            line.value = Trim(trimmed.substr(equals + 1));
        }
        lines.push_back(std::move(line));
        start = end;
    }
    return lines;
}

// What a settings file holds, if it can be read as one.
struct FileContents {
    bool exists = false;
    std::optional<std::string> bytes;  // nothing when it exists but cannot be read as settings
};

// Reads the file. A folder of that name, no permission, binary content or an implausible size
// all count as "exists but unreadable".
FileContents ReadFile(const std::string& file) {
    FileContents result;
    platform::FileBytes read = platform::ReadFileBytes(file, kMaxFileBytes);
    result.exists = read.state != platform::FileBytes::Missing;
    if (read.state == platform::FileBytes::Read && read.bytes.find('\0') == std::string::npos)
        result.bytes = std::move(read.bytes);
    return result;
}

// The name as the platform sees it from a fixed field: cut at a zero byte and at the field size.
std::string FieldName(const std::string& name) {
    std::string result = name.substr(0, name.find('\0'));
    if (result.size() > kNameField) result.resize(kNameField);
    return result;
}

struct Location {
    std::optional<std::size_t> section;  // index of the section line
    std::optional<std::size_t> key;      // index of the key line
};

Location Find(const std::vector<Line>& lines, const std::string& section, const std::string& key) {
    Location found;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == Line::Section) {
            if (found.section) break;  // the first matching section alone is searched
            if (SameName(lines[i].name, section)) found.section = i;
        } else if (found.section && lines[i].kind == Line::Key && SameName(lines[i].name, key)) {
            found.key = i;
            break;
        }
    }
    return found;
}

}  // namespace

std::string SettingsFilePath(const std::string& programFolder) {
    return programFolder + "\\Veltrane.ini";
}

std::string ReadSetting(const std::string& section, const std::string& key,
                        const std::string& file) {
    const FileContents contents = ReadFile(file);
    if (!contents.bytes) return "";
    const std::vector<Line> lines = SplitLines(*contents.bytes);
    const Location found = Find(lines, FieldName(section), FieldName(key));
    if (!found.key) return "";
    std::string value = lines[*found.key].value;
    if (value.size() > 1 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    if (value.size() > kMaxValueBytes) value.resize(kMaxValueBytes);
    return value;
}

std::string WriteSetting(const std::string& section, const std::string& key,
                         const std::string& value, const std::string& file) {
    LastApiResult = 0;
    const std::string sectionName = FieldName(section);
    const std::string keyName = FieldName(key);
    // A line break in a name or the value would write lines nobody asked for.
    for (const std::string* text : {&sectionName, &keyName, &value}) {
        if (text->find_first_of("\r\n") != std::string::npos) return "";
    }
    if (keyName.empty() || Trim(keyName) != keyName || keyName.find('=') != std::string::npos)
        return "";

    const FileContents existing = ReadFile(file);
    // A file that exists but is not readable as settings is left alone rather than replaced.
    if (existing.exists && !existing.bytes) return "";
    std::vector<Line> lines = SplitLines(existing.bytes.value_or(""));
    const std::string newline = (!lines.empty() && lines.front().ending == "\n") ? "\n" : "\r\n";
    const Location found = Find(lines, sectionName, keyName);

    if (found.key) {
        Line& line = lines[*found.key];
        line.text = line.name + "=" + value;
    } else {
        Line keyLine{keyName + "=" + value, newline, Line::Key, keyName, value};
        if (found.section) {
            // After the last key line of the section, before any blank lines that end it.
            std::size_t insertAt = *found.section + 1;
            for (std::size_t i = insertAt; i < lines.size() && lines[i].kind != Line::Section;
                 ++i) {
                if (!Trim(lines[i].text).empty()) insertAt = i + 1;
            }
            if (lines[insertAt - 1].ending.empty()) lines[insertAt - 1].ending = newline;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), keyLine);
        } else {
            if (!lines.empty() && lines.back().ending.empty()) lines.back().ending = newline;
            lines.push_back(Line{"[" + sectionName + "]", newline, Line::Section, sectionName, ""});
            lines.push_back(keyLine);
        }
    }

    std::string output;
    for (const Line& line : lines) output += line.text + line.ending;
    LastApiResult = platform::WriteFileAtomically(file, output) ? 1 : 0;
    return "";
}

}  // namespace Veltrane_B
