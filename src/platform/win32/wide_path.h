// UTF-8 text and paths as the wide Windows API takes them.
#pragma once

#include <string>

namespace platform {

// UTF-8 to UTF-16, or "" when `text` is not valid UTF-8.
std::wstring Utf8ToWide(const std::string& text);

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string WideToUtf8(const std::wstring& text);

// A UTF-8 path for the wide file functions: converted to UTF-16 and, when it is too long for the
// classic form, made absolute and given the "\\?\" (or "\\?\UNC\") prefix that lifts the limit.
// "" when the path is empty, holds a zero character or is not valid UTF-8.
std::wstring WidePath(const std::string& path);

}  // namespace platform
