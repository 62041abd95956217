#include "platform/code_page.h"

#include <windows.h>

namespace platform {

constexpr UINT kShiftJis = 932;

std::optional<std::u16string> Cp932ToUtf16(const std::string& text) {
    if (text.empty()) return std::u16string();
    const int size = static_cast<int>(text.size());
    const int length =
        MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
    return std::u16string(wide.begin(), wide.end());
}

std::string Utf16ToCp932(const std::u16string& text) {
    if (text.empty()) return {};
    const std::wstring wide(text.begin(), text.end());
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(kShiftJis, 0, wide.data(), size, nullptr, 0, "?", nullptr);
    if (length <= 0) return {};
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(kShiftJis, 0, wide.data(), size, bytes.data(), length, "?", nullptr);
    return bytes;
}

}  // namespace platform
