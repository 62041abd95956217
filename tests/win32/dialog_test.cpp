// The dialog on a real system: every text in a face with all its glyphs, with or without ＭＳ
// Ｐゴシック (VELTRANE_NO_FONT_SUBSTITUTE=1); the layout at the scale it opens at (VELTRANE_DPI)
// and moves to.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "dialog/picture_transform.h"
#include "dialog/rotate_picture.h"
#include "dialog/settings_dialog.h"
#include "platform/win32/font_choice.h"
#include "platform/win32/wide_path.h"
#include "platform/win32/win32_host.h"
#include "platform/win32/win32_panel.h"
#include "process_helpers.h"
#include "resource_ids.h"
#include "startup/process_values.h"
#include "unit/process_values_guard.h"

namespace {

using namespace platform::win32;
using veltrane_test::Hwnd;
using veltrane_test::Pixels;
using veltrane_test::ResourcePixels;
using veltrane_test::WindowPixels;

// Every text of the dialog: its labels, the link and the buttons' captions.
std::vector<const Win32Label*> Texts(const Veltrane_B::Veltrane_P& dialog) {
    std::vector<const platform::Label*> labels{dialog.lbl_URL.get(), &dialog.Cmd_Set->LblMsg(),
                                               &dialog.Cmd_Can->LblMsg()};
    for (const auto& label : dialog.lbl) labels.push_back(label.get());
    std::vector<const Win32Label*> texts;
    for (const platform::Label* label : labels)
        texts.push_back(dynamic_cast<const Win32Label*>(label));
    return texts;
}

// By the glyph index API itself, not the code under test; and the face drawn is the one named.
bool FaceHasGlyphs(const LOGFONTW& logical, const std::wstring& text) {
    const MemoryDc dc = CompatibleDc(nullptr);
    const GdiObject<HFONT> font(CreateFontIndirectW(&logical));
    const Selected into(dc.get(), font.get());
    std::vector<WORD> glyphs(text.size());
    const DWORD found = GetGlyphIndicesW(dc.get(), text.c_str(), static_cast<int>(text.size()),
                                         glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    wchar_t selected[LF_FACESIZE] = {};
    GetTextFaceW(dc.get(), LF_FACESIZE, selected);
    return found == text.size() && std::count(glyphs.begin(), glyphs.end(), 0xFFFF) == 0 &&
           lstrcmpiW(selected, logical.lfFaceName) == 0;
}

TEST(DialogFont, EveryTextOfTheDialogGetsAFaceWithAllItsGlyphs) {
    const char* without = std::getenv("VELTRANE_NO_FONT_SUBSTITUTE");
    const bool installed = !(without && *without);
    Win32Host host{GetModuleHandleW(nullptr)};
    Veltrane_B::Veltrane_P dialog(host);
    for (const Win32Label* win32 : Texts(dialog)) {
        ASSERT_NE(win32, nullptr);
        LOGFONTW used{};
        ASSERT_NE(GetObjectW(win32->FontHandle(), sizeof used, &used), 0);
        SCOPED_TRACE(win32->Text() + " in " + platform::WideToUtf8(used.lfFaceName));
        EXPECT_TRUE(FaceHasGlyphs(used, Widen(win32->Text())));
        EXPECT_EQ(used.lfWeight, FW_NORMAL);  // the height: DialogScale, at every scale
        EXPECT_EQ(used.lfCharSet, SHIFTJIS_CHARSET);
        EXPECT_EQ(std::wstring(used.lfFaceName) == L"ＭＳ Ｐゴシック", installed);
    }
}

TEST(DialogFont, ShiftJisFacesServeWhenNoPreferredFaceIsThere) {
    platform::Font font = Veltrane_B::DialogFont();
    font.faceName = "Veltrane No Such Face";
    const LOGFONTW asked = LogicalFont(font, platform::kDesignDpi);
    const MemoryDc dc = CompatibleDc(nullptr);
    const std::wstring text = L"表示ｲﾝﾀｰﾊﾞﾙ 速い 遅い 設定 ｷｬﾝｾﾙ";
    LOGFONTW chosen = asked;
    lstrcpynW(chosen.lfFaceName, ChooseFace(dc.get(), asked, text, {}).c_str(), LF_FACESIZE);
    EXPECT_TRUE(FaceHasGlyphs(chosen, text)) << platform::WideToUtf8(chosen.lfFaceName);
    // A text no face has is left to the system's mapping.
    EXPECT_EQ(ChooseFace(dc.get(), asked, L"設定\U0010FFFD", {}), asked.lfFaceName);
}

// FNV-1a of the client area at 96 dpi (preview at 30 degrees, IPAPGothic), the bar (blinking) 0.
constexpr std::uint64_t kClientAt96ButTheBar = 0x7026b67fc074b5ull;

std::uint64_t Fnv(const Pixels& pixels) {
    std::uint64_t hash = 1469598103934665603ull;
    for (const std::uint32_t pixel : pixels.data) hash = (hash ^ pixel) * 1099511628211ull;
    return hash;
}

// Pixels that differ from a top-down 32-bit picture's bytes (blue, green, red, unused).
int Differing(const Pixels& shown, const std::vector<std::uint8_t>& bytes) {
    int wrong = 0;
    for (std::size_t i = 0; i < shown.data.size(); ++i)
        wrong += shown.data[i] !=
                 (std::uint32_t{bytes[4 * i + 2]} << 16 | bytes[4 * i + 1] << 8 | bytes[4 * i]);
    return wrong;
}

SIZE TextSize(const Win32Label& label) {
    const MemoryDc dc = CompatibleDc(nullptr);
    const Selected font(dc.get(), label.FontHandle());
    const std::wstring text = Widen(label.Text());
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

// Sizes and fonts scaled, texts inside their boxes (not at 96: laid out for the narrower ＭＳ
// Ｐゴシック), the square the photo drawn for the scale turned; at 96 every pixel as it was.
void ExpectLaidOutAt(platform::Host& host, Veltrane_B::Veltrane_P& dialog, int dpi) {
    SCOPED_TRACE("at " + std::to_string(dpi) + " dots per inch");
    const auto scaled = [dpi](double pixels) { return std::lrint(pixels * dpi / 96); };
    Veltrane_B2::RotatePicture(host, *dialog.picSource, *dialog.picDestination, 30.0, true);
    veltrane_test::Pump(300);
    RECT client{};
    GetClientRect(Hwnd(dialog), &client);
    EXPECT_NEAR(client.right, 405 * dpi / 96.0, 1);
    EXPECT_NEAR(client.bottom, 261 * dpi / 96.0, 1);

    for (const auto& label : Texts(dialog)) {
        const SIZE text = TextSize(*label);
        const platform::Rect box = label->Bounds();
        LOGFONTW font{};
        GetObjectW(label->FontHandle(), sizeof font, &font);
        EXPECT_EQ(font.lfHeight, -scaled(13)) << label->Text();  // 9.75 points at 96
        if (dpi != 96) {
            EXPECT_LE(text.cx, box.right - box.left) << label->Text();
            EXPECT_LE(text.cy, box.bottom - box.top) << label->Text();
        }
    }
    for (const auto* command : {dialog.Cmd_Set.get(), dialog.Cmd_Can.get()}) {
        const auto& caption = dynamic_cast<const Win32Label&>(command->LblMsg());
        const SIZE text = TextSize(caption);
        const platform::Rect box = caption.Bounds();
        RECT face{};
        GetClientRect(Hwnd(*command), &face);
        EXPECT_EQ(std::make_pair(face.right, face.bottom), std::make_pair(scaled(77), scaled(25)));
        EXPECT_TRUE(box.left == 0 && box.right == face.right && text.cx <= face.right &&
                    box.top >= 0 && box.top + text.cy <= face.bottom)
            << caption.Text() << ": " << text.cx << " x " << text.cy << " from " << box.top
            << " in " << face.right << " x " << face.bottom;
    }

    const int side = static_cast<int>(scaled(200));
    for (const auto* panel : {dialog.picDestination.get(), dialog.picSource.get()}) {
        const platform::Rect box = panel->Bounds();
        ASSERT_EQ(std::pair(box.right - box.left, box.bottom - box.top), std::pair(side, side));
    }
    std::vector<std::uint8_t> source(std::size_t(side) * side * 4), turned(source.size());
    platform::BitmapInfo header = Veltrane_B2::TopDownHeader(side, side);
    host.GetDIBits(dialog.picSource->hDC(), dialog.picSource->ImageHandle(), 0, side, source.data(),
                   &header, platform::kDibRgbColors);
    for (int k = 0; k < 3; ++k) {
        if (dpi != kPictureScalePercent[k] * 96 / 100) continue;
        const Pixels drawn = ResourcePixels(ScaledPictureId(IDB_SAMPLE_PHOTO, k));
        EXPECT_EQ(Differing(drawn, source), 0) << "pixels of the photo not drawn for the scale";
    }
    Veltrane_B2::TransformPixels(source.data(), side, side, turned.data(), side, side, 30.0, true);
    const Pixels shown = WindowPixels(Hwnd(*dialog.picDestination), 0, 0, side, side);
    EXPECT_EQ(Differing(shown, turned), 0) << "pixels of the square that are not the photo turned";

    if (dpi == 96) {
        Pixels pixels = WindowPixels(Hwnd(dialog), 0, 0, client.right, client.bottom);
        RECT bar{};
        GetWindowRect(Hwnd(*dialog.HS_Intval), &bar);
        MapWindowPoints(HWND_DESKTOP, Hwnd(dialog), reinterpret_cast<POINT*>(&bar), 2);
        for (int y = bar.top; y < bar.bottom; ++y)
            for (int x = bar.left; x < bar.right; ++x) pixels.data[y * pixels.width + x] = 0;
        EXPECT_EQ(Fnv(pixels), kClientAt96ButTheBar) << std::hex << Fnv(pixels);
    }
}

// Opened at the prefix's scale, then moved to each by WM_DPICHANGED, which Wine never sends.
TEST(DialogScale, LaidOutAtEachScaleItOpensAtOrMovesTo) {
    const char* wanted = std::getenv("VELTRANE_DPI");
    const int dpi = wanted && *wanted ? std::atoi(wanted) : 96;
    const ProcessValuesGuard processValues;
    Veltrane_B::DisplayInterval = 100;
    SetCursorPos(1000, 740);
    Win32Host host{GetModuleHandleW(nullptr)};
    Veltrane_B::Veltrane_P dialog(host);
    ASSERT_EQ(dialog.window->Dpi(), dpi) << "the prefix does not run at the scale asked for";
    dialog.Form_Load();
    dialog.Timer1->SetEnabled(false);
    dialog.window->Show();
    ExpectLaidOutAt(host, dialog, dpi);
    for (const int other : {96, 120, 144, 192, dpi}) {
        RECT suggested{};
        GetWindowRect(Hwnd(dialog), &suggested);
        OffsetRect(&suggested, 8, 4);
        SendMessageW(Hwnd(dialog), WM_DPICHANGED, MAKEWPARAM(other, other),
                     reinterpret_cast<LPARAM>(&suggested));
        RECT now{};
        GetWindowRect(Hwnd(dialog), &now);
        EXPECT_EQ(std::make_pair(now.left, now.top), std::make_pair(suggested.left, suggested.top));
        ExpectLaidOutAt(host, dialog, other);
    }
}

}  // namespace
