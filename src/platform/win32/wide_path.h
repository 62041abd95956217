// UTF-8 text and paths as the wide Windows API takes them.
#pragma once

#include <string>

namespace platform {

// What a conversion does with bytes that are not UTF-8: a path is refused ("" comes back), a text
// for the user shows U+FFFD in their place.
enum class BadUtf8 { Refuse, Replace };

// UTF-8 to UTF-16.
std::wstring Utf8ToWide(const std::string& text, BadUtf8 bad = BadUtf8::Refuse);

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string WideToUtf8(const std::wstring& text);

// A UTF-8 path for the wide file functions: converted to UTF-16 and, when it is too long for the
// classic form, made absolute and given the "\\?\" (or "\\?\UNC\") prefix that lifts the limit.
// "" when the path is empty, holds a zero character or is not valid UTF-8.
std::wstring WidePath(const std::string& path);

}  // namespace platform
