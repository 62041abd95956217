// The dialog's font on a real system: with "ＭＳ Ｐゴシック" installed the labels use it as asked;
// without it (VELTRANE_NO_FONT_SUBSTITUTE=1, as the languages end-to-end test runs this), every
// text of the dialog, labels, link and button captions, gets a face that has all its glyphs, at
// the same size.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "dialog/settings_dialog.h"
#include "platform/win32/font_choice.h"
#include "platform/win32/wide_path.h"
#include "platform/win32/win32_gdi.h"
#include "platform/win32/win32_host.h"
#include "platform/win32/win32_panel.h"

namespace {

using platform::win32::Widen;

// Checked here with the glyph index API directly, not through the code under test.
bool FaceHasGlyphs(const LOGFONTW& logical, const std::wstring& text) {
    using namespace platform::win32;
    const MemoryDc dc = CompatibleDc(nullptr);
    const GdiObject<HFONT> font(CreateFontIndirectW(&logical));
    const Selected into(dc.get(), font.get());
    std::vector<WORD> glyphs(text.size());
    const DWORD found = GetGlyphIndicesW(dc.get(), text.c_str(), static_cast<int>(text.size()),
                                         glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    wchar_t selected[LF_FACESIZE] = {};
    GetTextFaceW(dc.get(), LF_FACESIZE, selected);
    // The face really drawn is the one named, not a stand-in the system picked.
    return found == text.size() && std::count(glyphs.begin(), glyphs.end(), 0xFFFF) == 0 &&
           lstrcmpiW(selected, logical.lfFaceName) == 0;
}

TEST(DialogFont, EveryTextOfTheDialogGetsAFaceWithAllItsGlyphs) {
    const char* without = std::getenv("VELTRANE_NO_FONT_SUBSTITUTE");
    const bool installed = !(without && *without);
    platform::win32::Win32Host host{GetModuleHandleW(nullptr)};
    Veltrane_B::Veltrane_P dialog(host);

    // The button captions are drawn by the same labels; give them the dialog's font here.
    std::vector<platform::Label*> labels{dialog.lbl_URL.get()};
    for (const auto& label : dialog.lbl) labels.push_back(label.get());
    std::vector<std::unique_ptr<platform::Label>> captions;
    for (const auto* command : {dialog.Cmd_Set.get(), dialog.Cmd_Can.get()}) {
        captions.push_back(dialog.window->CreateLabel(dialog.Pic_C.get()));
        captions.back()->SetFont(Veltrane_B::DialogFont());
        captions.back()->SetText(command->Caption());
        labels.push_back(captions.back().get());
    }

    const LOGFONTW asked =
        platform::win32::LogicalFont(Veltrane_B::DialogFont(), dialog.window->Dpi());
    for (platform::Label* label : labels) {
        const auto* win32 = dynamic_cast<platform::win32::Win32Label*>(label);
        ASSERT_NE(win32, nullptr);
        LOGFONTW used{};
        ASSERT_NE(GetObjectW(win32->FontHandle(), sizeof used, &used), 0);
        const std::wstring text = Widen(label->Text());
        SCOPED_TRACE(label->Text() + " in " + platform::WideToUtf8(used.lfFaceName));
        EXPECT_TRUE(FaceHasGlyphs(used, text));
        EXPECT_EQ(std::tie(used.lfHeight, used.lfWeight, used.lfCharSet),
                  std::tie(asked.lfHeight, asked.lfWeight, asked.lfCharSet));
        // The face asked for where it is installed, another where it is not.
        EXPECT_EQ(std::wstring(used.lfFaceName) == asked.lfFaceName, installed);
    }
}

TEST(DialogFont, ShiftJisFacesServeWhenNoPreferredFaceIsThere) {
    platform::Font font = Veltrane_B::DialogFont();
    font.faceName = "Veltrane No Such Face";
    const LOGFONTW asked = platform::win32::LogicalFont(font, platform::kDesignDpi);
    const platform::win32::MemoryDc dc = platform::win32::CompatibleDc(nullptr);
    const std::wstring text = L"表示ｲﾝﾀｰﾊﾞﾙ 速い 遅い 設定 ｷｬﾝｾﾙ";
    LOGFONTW chosen = asked;
    lstrcpynW(chosen.lfFaceName, platform::win32::ChooseFace(dc.get(), asked, text, {}).c_str(),
              LF_FACESIZE);
    EXPECT_TRUE(FaceHasGlyphs(chosen, text)) << platform::WideToUtf8(chosen.lfFaceName);
    // A text no face has is left to the system's mapping.
    EXPECT_EQ(platform::win32::ChooseFace(dc.get(), asked, L"設定\U0010FFFD", {}),
              asked.lfFaceName);
}

}  // namespace
