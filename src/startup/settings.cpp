#include "startup/settings.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/code_page.h"
#include "platform/files.h"
#include "startup/process_values.h"

namespace Veltrane_B {
namespace {

// Larger files are not settings files of ours; they are left alone.
constexpr std::size_t kMaxFileBytes = 1 << 20;
// What the platform's reader hands back at most: a 256-byte buffer with its terminating zero.
constexpr std::size_t kMaxValueBytes = 255;
// Names are passed in fields of 128 characters.
constexpr std::size_t kNameField = 128;

// A file's text as 16-bit units: one per byte for a file in the system's code page, one per
// UTF-16 unit for a Unicode file. Both kinds are parsed alike and every line the store does not
// change is written back unit for unit, zero bytes included.
using Text = std::u16string;

enum class Encoding { CodePage, Utf16 };

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\f' || c == u'\v';
}

Text Trim(const Text& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// Code page 932 lead bytes: the byte after one is part of the same character.
bool IsLeadByte(char16_t c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Compares names the way the platform does for this file: ASCII letters without regard to case,
// everything else exactly, and in a code-page file never folding the second byte of a
// double-byte character.
bool SameName(const Text& a, const Text& b, Encoding encoding) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (encoding == Encoding::CodePage && IsLeadByte(a[i])) {
            if (a[i] != b[i] || i + 1 >= a.size() || a[i + 1] != b[i + 1]) return false;
            ++i;
            continue;
        }
        const auto lower = [](char16_t c) -> char16_t {
            return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
        };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// One line of the file, as it stands, with what it means.
struct Line {
    Text text;    // without its line end
    Text ending;  // "\r\n", "\n", a lone "\r", or "" for a last line without one
    enum Kind { Other, Section, Key } kind = Other;
    Text name;   // section or key name, trimmed
    Text value;  // key value, trimmed
};

// Splits at CR LF, LF and lone CR alike: a file saved with old Mac line ends is read as lines.
std::vector<Line> SplitLines(const Text& contents) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < contents.size()) {
        std::size_t end = contents.find_first_of(u"\r\n", start);
        Line line;
        if (end == Text::npos) {
            line.text = contents.substr(start);
            end = contents.size();
        } else {
            line.text = contents.substr(start, end - start);
            const bool crlf =
                contents[end] == u'\r' && end + 1 < contents.size() && contents[end + 1] == u'\n';
            line.ending = contents.substr(end, crlf ? 2 : 1);
            end += line.ending.size();
        }
        const Text trimmed = Trim(line.text);
        if (!trimmed.empty() && trimmed.front() == u'[') {
            line.kind = Line::Section;
            const std::size_t close = trimmed.rfind(u']');
            line.name =
                Trim(trimmed.substr(1, close == Text::npos || close == 0 ? Text::npos : close - 1));
        } else if (const std::size_t equals = trimmed.find(u'='); equals != Text::npos) {
            line.kind = Line::Key;
            line.name = Trim(trimmed.substr(0, equals));
            line.value = Trim(trimmed.substr(equals + 1));
        }
        lines.push_back(std::move(line));
        start = end;
    }
    return lines;
}

// A settings file taken apart; a missing file is an empty code-page document.
struct Document {
    Encoding encoding = Encoding::CodePage;
    std::vector<Line> lines;
};

// The file taken apart, or nothing when it exists but is not to be read or replaced as settings
// (a folder, no permission, too large, big-endian UTF-16).
std::optional<Document> Load(const std::string& file) {
    const platform::FileBytes read = platform::ReadFileBytes(file, kMaxFileBytes);
    if (read.state == platform::FileBytes::Missing) return Document{};
    if (read.state != platform::FileBytes::Read) return std::nullopt;
    const std::string& bytes = read.bytes;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    Document document;
    Text text;
    if (bytes.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF) return std::nullopt;
    if (bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) {
        // UTF-16 LE after its byte-order mark; an odd last byte is no character and is dropped.
        document.encoding = Encoding::Utf16;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            text.push_back(static_cast<char16_t>(byte(i) | byte(i + 1) << 8));
    } else {
        for (std::size_t i = 0; i < bytes.size(); ++i) text.push_back(byte(i));
    }
    document.lines = SplitLines(text);
    return document;
}

std::string Encode(const Document& document) {
    std::string bytes;
    if (document.encoding == Encoding::Utf16) bytes = "\xFF\xFE";
    for (const Line& line : document.lines) {
        for (const Text* part : {&line.text, &line.ending}) {
            for (const char16_t unit : *part) {
                bytes.push_back(static_cast<char>(unit & 0xFF));
                if (document.encoding == Encoding::Utf16)
                    bytes.push_back(static_cast<char>(unit >> 8));
            }
        }
    }
    return bytes;
}

// Our names and values are code page 932 bytes; as units of the file's encoding, or nothing
// when they have no Unicode form.
std::optional<Text> ToText(const std::string& bytes, Encoding encoding) {
    if (encoding == Encoding::Utf16) return platform::Cp932ToUtf16(bytes);
    Text text;
    for (const char c : bytes) text.push_back(static_cast<unsigned char>(c));
    return text;
}

std::string FromText(const Text& text, Encoding encoding) {
    if (encoding == Encoding::Utf16) return platform::Utf16ToCp932(text);
    std::string bytes;
    for (const char16_t unit : text) bytes.push_back(static_cast<char>(unit));
    return bytes;
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

Location Find(const Document& document, const Text& section, const Text& key) {
    Location found;
    const std::vector<Line>& lines = document.lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == Line::Section) {
            if (found.section) break;  // the first matching section alone is searched
            if (SameName(lines[i].name, section, document.encoding)) found.section = i;
        } else if (found.section && lines[i].kind == Line::Key &&
                   SameName(lines[i].name, key, document.encoding)) {
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
    const std::optional<Document> loaded = Load(file);
    if (!loaded) return "";
    const Document& document = *loaded;
    const std::optional<Text> sectionName = ToText(FieldName(section), document.encoding);
    const std::optional<Text> keyName = ToText(FieldName(key), document.encoding);
    if (!sectionName || !keyName) return "";
    const Location found = Find(document, *sectionName, *keyName);
    if (!found.key) return "";
    Text value = document.lines[*found.key].value;
    if (value.size() > 1 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    // The caller of the platform's reader sees the value up to its first zero.
    value.resize(std::min(value.size(), value.find(u'\0')));
    std::string bytes = FromText(value, document.encoding);
    if (bytes.size() > kMaxValueBytes) bytes.resize(kMaxValueBytes);
    return bytes;
}

std::string WriteSetting(const std::string& section, const std::string& key,
                         const std::string& value, const std::string& file) {
    LastApiResult = 0;
    const std::string sectionBytes = FieldName(section);
    const std::string keyBytes = FieldName(key);
    // A line break in a name or the value would write lines nobody asked for.
    for (const std::string* text : {&sectionBytes, &keyBytes, &value}) {
        if (text->find_first_of("\r\n") != std::string::npos) return "";
    }
    if (keyBytes.empty() || keyBytes.find('=') != std::string::npos) return "";

    std::optional<Document> loaded = Load(file);
    // A file that exists but is not readable as settings is left alone rather than replaced.
    if (!loaded) return "";
    Document& document = *loaded;
    const std::optional<Text> sectionName = ToText(sectionBytes, document.encoding);
    const std::optional<Text> keyName = ToText(keyBytes, document.encoding);
    const std::optional<Text> valueText = ToText(value, document.encoding);
    if (!sectionName || !keyName || !valueText || Trim(*keyName) != *keyName) return "";
    std::vector<Line>& lines = document.lines;
    // New lines end the way the file's first line does.
    const Text newline =
        (!lines.empty() && !lines.front().ending.empty()) ? lines.front().ending : u"\r\n";
    const Location found = Find(document, *sectionName, *keyName);

    if (found.key) {
        Line& line = lines[*found.key];
        line.text = line.name + u"=" + *valueText;
    } else {
        Line keyLine{*keyName + u"=" + *valueText, newline, Line::Key, *keyName, *valueText};
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
            lines.push_back(
                Line{u"[" + *sectionName + u"]", newline, Line::Section, *sectionName, u""});
            lines.push_back(keyLine);
        }
    }

    LastApiResult = platform::WriteFileContents(file, Encode(document)) ? 1 : 0;
    return "";
}

}  // namespace Veltrane_B
