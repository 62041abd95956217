#include "platform/win32/font_choice.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/win32/win32_gdi.h"
#include "platform/win32/win32_host.h"

namespace platform::win32 {
namespace {

// The dialog's labels are as tall as the text's em, so faces whose ascent and descent fit in the
// em (the "ＭＳ Ｐゴシック" family and its free look-alikes) come before the taller modern faces,
// which would lose the bottoms of their characters there.
constexpr const wchar_t* kPreferredFaces[] = {
    L"MS PGothic",  // "ＭＳ Ｐゴシック" under its English name
    L"MS UI Gothic", L"ＭＳ ゴシック", L"MS Gothic",    L"Yu Gothic UI", L"Meiryo UI",
    L"IPAPGothic",   L"VL PGothic",    L"TakaoPGothic", L"IPAGothic",    L"Noto Sans CJK JP",
};

int CALLBACK StopAtFirst(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM) {
    return 0;
}

// True when a family of that name is installed, under its own or its localised name.
bool IsInstalled(HDC dc, const std::wstring& face) {
    if (face.empty() || face.size() >= LF_FACESIZE) return false;
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(query.lfFaceName, face.c_str(), LF_FACESIZE);
    return EnumFontFamiliesExW(dc, &query, StopAtFirst, 0, 0) == 0;
}

int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM list) {
    auto& faces = *reinterpret_cast<std::vector<std::wstring>*>(list);
    const std::wstring face = font->lfFaceName;
    // Faces named with "@" lay characters on their side for vertical writing.
    if (!face.empty() && face[0] != L'@' &&
        std::find(faces.begin(), faces.end(), face) == faces.end())
        faces.push_back(face);
    return 1;
}

std::vector<std::wstring> ShiftJisFaces(HDC dc) {
    std::vector<std::wstring> faces;
    LOGFONTW query{};
    query.lfCharSet = SHIFTJIS_CHARSET;
    EnumFontFamiliesExW(dc, &query, CollectFace, reinterpret_cast<LPARAM>(&faces), 0);
    return faces;
}

// True when `face` is installed and, at the size and style of `wanted`, has every glyph.
bool Covers(HDC dc, const LOGFONTW& wanted, const std::wstring& face, const std::wstring& text) {
    if (!IsInstalled(dc, face)) return false;
    LOGFONTW logical = wanted;
    lstrcpynW(logical.lfFaceName, face.c_str(), LF_FACESIZE);
    const GdiObject<HFONT> font(CreateFontIndirectW(&logical));
    return font && HasEveryGlyph(dc, font.get(), text);
}

}  // namespace

LOGFONTW LogicalFont(const Font& font, int dpi) {
    LOGFONTW logical{};
    logical.lfHeight = -static_cast<LONG>(std::nearbyint(font.points * dpi / 72.0));
    logical.lfWeight = font.weight;
    logical.lfItalic = font.italic;
    logical.lfUnderline = font.underline;
    logical.lfStrikeOut = font.strikethrough;
    logical.lfCharSet = static_cast<BYTE>(font.charset);
    logical.lfQuality = DEFAULT_QUALITY;
    const std::wstring face = Widen(font.faceName);
    lstrcpynW(logical.lfFaceName, face.c_str(), LF_FACESIZE);
    return logical;
}

bool HasEveryGlyph(HDC dc, HFONT font, const std::wstring& text) {
    std::wstring shown;
    for (const wchar_t c : text) {
        if (c >= L' ' && c != 0x7F) shown.push_back(c);
    }
    if (shown.empty()) return true;
    std::vector<WORD> glyphs(shown.size());
    const Selected selected(dc, font);
    const DWORD found = GetGlyphIndicesW(dc, shown.c_str(), static_cast<int>(shown.size()),
                                         glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    if (found != shown.size()) return false;
    return std::find(glyphs.begin(), glyphs.end(), WORD{0xFFFF}) == glyphs.end();
}

std::wstring ChooseFace(HDC dc, const LOGFONTW& wanted, const std::wstring& text,
                        std::span<const wchar_t* const> preferred) {
    const std::wstring own = wanted.lfFaceName;
    if (Covers(dc, wanted, own, text)) return own;
    for (const wchar_t* face : preferred) {
        if (Covers(dc, wanted, face, text)) return face;
    }
    for (const std::wstring& face : ShiftJisFaces(dc)) {
        if (Covers(dc, wanted, face, text)) return face;
    }
    return own;
}

std::span<const wchar_t* const> PreferredJapaneseFaces() {
    return kPreferredFaces;
}

HFONT CreateLabelFont(const Font& font, const std::wstring& text, int dpi) {
    LOGFONTW logical = LogicalFont(font, dpi);
    const std::wstring face =
        ChooseFace(CompatibleDc(nullptr).get(), logical, text, PreferredJapaneseFaces());
    lstrcpynW(logical.lfFaceName, face.c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&logical);
}

}  // namespace platform::win32
