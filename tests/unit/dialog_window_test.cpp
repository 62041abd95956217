// The settings dialog against the fake platform: load sequence, tiling, the bar and the timer,
// Set, Cancel and the close box, the link.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "dialog/settings_dialog.h"
#include "dialog/zoom.h"
#include "platform/fake/fake_platform.h"
#include "startup/process_values.h"
#include "startup/settings.h"
#include "unit/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using platform::fake::FakeHost;
using platform::fake::FakePicturePanel;
using platform::fake::FakeTimer;
using platform::fake::FakeWindow;
using Veltrane_B::Veltrane_P;

class Dialog : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        host.programFolder = folder_.string();
        host.bitmapRecord = {579, 21, 24};  // the texture strip's size
        host.cursor = {300, 200};
        Veltrane_B::DisplayInterval = 100.0f;
    }
    void TearDown() override {
        TempFolderTest::TearDown();
        Veltrane_B::DisplayInterval = 100.0f;
        Veltrane_B::IntervalText.clear();
    }

    // Builds and loads the dialog as the modal show does, with a frame of 3 + 19 pixels.
    std::unique_ptr<Veltrane_P> Load(float interval) {
        Veltrane_B::DisplayInterval = interval;
        auto dialog = std::make_unique<Veltrane_P>(host);
        host.windowRects[dialog->hWnd()] = {0, 0, 411, 286};
        dialog->Form_Load();
        return dialog;
    }
    FakeWindow& WindowOf(Veltrane_P& dialog) { return static_cast<FakeWindow&>(*dialog.window); }
    FakeTimer& TimerOf(Veltrane_P& dialog) { return static_cast<FakeTimer&>(*dialog.Timer1); }
    std::string SettingsPath() const { return Veltrane_B::SettingsFilePath(folder_.string()); }
    std::string FileBytes() const { return ReadAll(SettingsPath()); }

    FakeHost host;
};

TEST_F(Dialog, LoadSequenceTakesTheIntervalWithinEachControlsRange) {
    const struct {
        float interval;
        std::int32_t barValue, timerInterval;
        bool ticks;
    } cases[] = {
        {100, 100, 100, true}, {5000, 1, 5000, true},    {0, 1, 0, false},
        {-5, 1, 100, true},    {3000, 3000, 3000, true}, {70000, 1, 100, true},
    };
    for (const auto& c : cases) {
        host.calls.clear();
        auto dialog = Load(c.interval);
        EXPECT_EQ(dialog->HS_Intval->Value(), c.barValue) << c.interval;
        EXPECT_EQ(dialog->Timer1->Interval(), c.timerInterval) << c.interval;
        EXPECT_TRUE(dialog->Timer1->Enabled());
        TimerOf(*dialog).Fire();
        EXPECT_EQ(host.CountOf("SetDIBits"), c.ticks ? 1 : 0) << c.interval;
        EXPECT_EQ(Veltrane_B::DisplayInterval, c.interval);  // never changed by the dialog
    }
}

TEST_F(Dialog, WindowAndControls) {
    auto dialog = Load(100);
    FakeWindow& window = WindowOf(*dialog);
    EXPECT_EQ(window.kind, platform::WindowKind::FixedDialog);
    EXPECT_EQ(window.clientWidth, 405);
    EXPECT_EQ(window.clientHeight, 261);
    // Placed by its real outer size: centred, one third of the free height from the top.
    EXPECT_EQ(window.state.bounds, (platform::Rect{306, 161, 717, 447}));
    // Japanese captions need the Japanese character set; only the link is underlined.
    for (const platform::Label* label : {dialog->lbl[1].get(), dialog->lbl_URL.get()}) {
        const auto& font = static_cast<const platform::fake::FakeLabel*>(label)->font;
        EXPECT_EQ(font.charset, 128);
        EXPECT_EQ(font.underline, label == dialog->lbl_URL.get());
    }
    EXPECT_EQ(static_cast<platform::fake::FakeLabel&>(*dialog->lbl_URL).pointer,
              platform::MousePointer::Hand);
    EXPECT_FALSE(dialog->Pic_Mbl->Visible());
    EXPECT_GE(dialog->picSource->Bounds().left, 405);  // outside the client area
}

TEST_F(Dialog, TextureTilesColumnsOneCopyPastTheBottom) {
    auto dialog = Load(100);
    const std::string strip = std::to_string(dialog->Pic_Mbl->hDC());
    const struct {
        platform::PicturePanel* panel;
        int rows;  // copies per column; two columns each
    } panels[] = {{dialog->Pic_C.get(), 14}, {dialog->Pic_D.get(), 5}};
    for (const auto& p : panels) {
        std::set<std::string> expected;
        for (int x : {0, 579})
            for (int row = 0; row < p.rows; ++row)
                expected.insert("BitBlt(" + std::to_string(p.panel->hDC()) + ", " +
                                std::to_string(x) + ", " + std::to_string(row * 21) +
                                ", 579, 21, " + strip + ", 0, 0, 13369376)");
        std::multiset<std::string> actual;
        for (const std::string& call : host.CallsNamed("BitBlt"))
            if (call.rfind("BitBlt(" + std::to_string(p.panel->hDC()) + ",", 0) == 0)
                actual.insert(call);
        EXPECT_EQ(actual.size(), expected.size());
        EXPECT_EQ(std::set<std::string>(actual.begin(), actual.end()), expected);
    }
}

TEST_F(Dialog, BarSetsTheTimerWhileDraggingAndOnChange) {
    auto dialog = Load(100);
    auto& bar = static_cast<platform::fake::FakeScrollBar&>(*dialog->HS_Intval);
    bar.SetValue(1500);  // change notification
    EXPECT_EQ(dialog->Timer1->Interval(), 1500);
    bar.Scroll(platform::ScrollCode::ThumbTrack, 42);  // dragging the thumb
    EXPECT_EQ(dialog->Timer1->Interval(), 42);
    EXPECT_TRUE(dialog->Timer1->Enabled());
}

TEST_F(Dialog, OnlySetWritesAndEveryCloseZoomsIntoTheLoadTimePointer) {
    enum class Action { Set, Cancel, CloseBox };
    const struct {
        Action action;
        std::int32_t bar;
        const char* written;  // nullptr: the file keeps its old bytes
    } cases[] = {
        {Action::Set, 250, " 250"},       {Action::Set, 1, " 1"},
        {Action::Set, 3000, " 3000"},     {Action::Cancel, 250, nullptr},
        {Action::CloseBox, 250, nullptr},
    };
    const std::string old = std::string("[Section]\r\n") + Veltrane_B::kIntervalKey + "=777\r\n";
    for (const auto& c : cases) {
        std::ofstream(SettingsPath(), std::ios::binary) << old;
        host.calls.clear();
        host.cursor = {300, 200};
        auto dialog = Load(100);
        dialog->HS_Intval->SetValue(c.bar);
        host.cursor = {5, 5};  // the pointer moved since loading
        switch (c.action) {
            case Action::Set:
                dialog->Cmd_Set->Click();
                break;
            case Action::Cancel:
                dialog->Cmd_Can->Click();
                break;
            case Action::CloseBox:
                dialog->window->Close();
                break;
        }
        EXPECT_TRUE(WindowOf(*dialog).closed);
        const std::string bytes = FileBytes();
        if (c.written) {
            EXPECT_NE(bytes.find(std::string(Veltrane_B::kIntervalKey) + "=" + c.written + "\r\n"),
                      std::string::npos)
                << bytes;
            EXPECT_EQ(Veltrane_B::IntervalText, c.written);
        } else {
            EXPECT_EQ(bytes, old);
        }
        const auto zooms = host.CallsNamed("DrawAnimatedRects");
        ASSERT_EQ(zooms.size(), 2u);
        EXPECT_EQ(zooms[1], "DrawAnimatedRects(" + std::to_string(dialog->hWnd()) +
                                ", 3, 0, 0, 411, 286, 300, 200, 300, 200)");
        EXPECT_EQ(host.CountOf("MessageBoxW"), 0);
    }
}

TEST_F(Dialog, SetIntoAnUnwritableFolderSaysSoAndStaysOpen) {
    // A folder inside one that does not exist: nothing can be written there on any system.
    host.programFolder = (folder_ / "missing" / "folder").string();
    auto dialog = Load(100);
    dialog->HS_Intval->SetValue(250);
    dialog->Cmd_Set->Click();
    EXPECT_FALSE(WindowOf(*dialog).closed);
    const auto boxes = host.CallsNamed("MessageBoxW");
    ASSERT_EQ(boxes.size(), 1u);
    // Readable Japanese on any code page: UTF-8 for the wide API, with the file's full name.
    EXPECT_EQ(
        boxes[0].rfind("MessageBoxW(表示インターバルを次のファイルに保存できませんでした。\r\n" +
                           Veltrane_B::SettingsFilePath(host.programFolder) + "\r\n\r\n",
                       0),
        0u)
        << boxes[0];
    dialog->Cmd_Can->Click();  // the user can still leave
    EXPECT_TRUE(WindowOf(*dialog).closed);
}

TEST_F(Dialog, LinkOpensTheHomePageWithTheHourglassAround) {
    auto dialog = Load(100);
    host.pointerHistory.clear();
    dialog->lbl_URL->onClick();
    EXPECT_EQ(host.CallsNamed("ShellExecuteA"),
              std::vector<std::string>{"ShellExecuteA(" + std::to_string(dialog->hWnd()) +
                                       ", open, " + Veltrane_B::kHomePage + ", , , 1)"});
    EXPECT_EQ(host.pointerHistory,
              (std::vector<platform::MousePointer>{platform::MousePointer::Hourglass,
                                                   platform::MousePointer::Default}));
    EXPECT_FALSE(WindowOf(*dialog).closed);
}

}  // namespace
