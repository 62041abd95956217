// The dialog's font on a real system: with "ＭＳ Ｐゴシック" installed the labels use it as asked;
// without it (VELTRANE_NO_FONT_SUBSTITUTE=1, as the languages end-to-end test runs this), every
// text of the dialog, labels, link and button captions, gets a face that has all its glyphs, at
// the same size.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "dialog/settings_dialog.h"
#include "platform/win32/font_choice.h"
#include "platform/win32/wide_path.h"
#include "platform/win32/win32_host.h"
#include "platform/win32/win32_panel.h"

namespace {

using platform::win32::Widen;

// Checked here with the glyph index API directly, not through the code under test.
bool FaceHasGlyphs(const LOGFONTW& logical, const std::wstring& text) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontIndirectW(&logical);
    HGDIOBJ previous = SelectObject(dc, font);
    std::vector<WORD> glyphs(text.size());
    const DWORD found = GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()),
                                         glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    wchar_t selected[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, selected);
    SelectObject(dc, previous);
    DeleteObject(font);
    DeleteDC(dc);
    bool all = found == text.size();
    for (WORD glyph : glyphs) all = all && glyph != 0xFFFF;
    // The face really drawn is the one named, not a stand-in the system picked.
    return all && lstrcmpiW(selected, logical.lfFaceName) == 0;
}

TEST(DialogFont, EveryTextOfTheDialogGetsAFaceWithAllItsGlyphs) {
    const char* without = std::getenv("VELTRANE_NO_FONT_SUBSTITUTE");
    const bool installed = !(without && *without);
    platform::win32::Win32Host host{GetModuleHandleW(nullptr)};
    Veltrane_B::Veltrane_P dialog(host);

    // The button captions are drawn by the same labels; give them the dialog's font here.
    std::vector<platform::Label*> labels{dialog.lbl[0].get(), dialog.lbl[1].get(),
                                         dialog.lbl[2].get(), dialog.lbl[3].get(),
                                         dialog.lbl[4].get(), dialog.lbl_URL.get()};
    std::vector<std::unique_ptr<platform::Label>> captions;
    for (const auto* command : {dialog.Cmd_Set.get(), dialog.Cmd_Can.get()}) {
        captions.push_back(dialog.window->CreateLabel(dialog.Pic_C.get()));
        captions.back()->SetFont(Veltrane_B::DialogFont());
        captions.back()->SetText(command->Caption());
        labels.push_back(captions.back().get());
    }

    const LOGFONTW asked = platform::win32::LogicalFont(Veltrane_B::DialogFont());
    for (platform::Label* label : labels) {
        const auto* win32 = dynamic_cast<platform::win32::Win32Label*>(label);
        ASSERT_NE(win32, nullptr);
        LOGFONTW used{};
        ASSERT_NE(GetObjectW(win32->FontHandle(), sizeof used, &used), 0);
        const std::wstring text = Widen(label->Text());
        SCOPED_TRACE(label->Text() + " in " + platform::WideToUtf8(used.lfFaceName));
        EXPECT_TRUE(FaceHasGlyphs(used, text));
        EXPECT_EQ(used.lfHeight, asked.lfHeight);
        EXPECT_EQ(used.lfWeight, asked.lfWeight);
        EXPECT_EQ(used.lfCharSet, asked.lfCharSet);
        if (installed) {
            EXPECT_EQ(std::wstring(used.lfFaceName), std::wstring(asked.lfFaceName));
        } else {
            EXPECT_NE(std::wstring(used.lfFaceName), std::wstring(asked.lfFaceName));
        }
    }
}

TEST(DialogFont, ShiftJisFacesServeWhenNoPreferredFaceIsThere) {
    platform::Font font = Veltrane_B::DialogFont();
    font.faceName = "Veltrane No Such Face";
    const LOGFONTW asked = platform::win32::LogicalFont(font);
    HDC dc = CreateCompatibleDC(nullptr);
    struct Case {
        std::wstring text;
        bool someFaceHasIt;
    };
    for (const Case& c :
         {Case{L"表示ｲﾝﾀｰﾊﾞﾙ 速い 遅い 設定 ｷｬﾝｾﾙ", true}, Case{L"設定\U0010FFFD", false}}) {
        const std::wstring face = platform::win32::ChooseFace(dc, asked, c.text, {});
        SCOPED_TRACE(platform::WideToUtf8(face));
        if (c.someFaceHasIt) {
            LOGFONTW chosen = asked;
            lstrcpynW(chosen.lfFaceName, face.c_str(), LF_FACESIZE);
            EXPECT_TRUE(FaceHasGlyphs(chosen, c.text));
        } else {
            EXPECT_EQ(face, std::wstring(asked.lfFaceName));  // left to the system's mapping
        }
    }
    DeleteDC(dc);
}

}  // namespace
