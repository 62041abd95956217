// The font a label draws its text with, chosen so that no character shows as an empty box.
//
// The dialog asks for "ＭＳ Ｐゴシック", which outside Japan is an optional part of the system.
// When the face asked for is installed and has every glyph of the text, it is used as it is.
// Otherwise the label gets, at the same size and style, the first installed face that has them
// all: the Japanese interface faces in order of preference, then any face of the Shift-JIS
// character set.
#pragma once

#include <windows.h>

#include <span>
#include <string>

#include "platform/platform.h"

namespace platform::win32 {

// The logical font that `font` describes at `dpi` dots per inch (its point size kept), with
// `font`'s own face.
LOGFONTW LogicalFont(const Font& font, int dpi);

// True when the face that `font` gives in `dc` has a glyph for every character of `text`
// (line ends and other control characters need none).
bool HasEveryGlyph(HDC dc, HFONT font, const std::wstring& text);

// The face to draw `text` with: `wanted`'s face when it is installed and has every glyph, else
// the first of `preferred`, then of the installed Shift-JIS faces, that is installed and has
// them all. When none has, `wanted`'s face, to be mapped by the system as before.
std::wstring ChooseFace(HDC dc, const LOGFONTW& wanted, const std::wstring& text,
                        std::span<const wchar_t* const> preferred);

// The Japanese interface faces, best first.
std::span<const wchar_t* const> PreferredJapaneseFaces();

// Creates the font for a label showing `text` in `font` at `dpi` (caller deletes it).
HFONT CreateLabelFont(const Font& font, const std::wstring& text, int dpi);

}  // namespace platform::win32
