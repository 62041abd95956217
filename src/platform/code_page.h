// Code page 932 (Shift-JIS) and UTF-16: the settings key is stored as code page 932 bytes on
// every system, and a settings file saved as UTF-16 must be matched against it.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The UTF-16 form of code page 932 text, or nothing when `text` is not valid code page 932.
std::optional<std::u16string> Cp932ToUtf16(const std::string& text);

// The code page 932 form of UTF-16 text; a character without one (or a lone surrogate)
// becomes '?', as in the system's own conversion (which on Windows first tries a look-alike,
// such as "e" for "é").
std::string Utf16ToCp932(const std::u16string& text);

}  // namespace platform
