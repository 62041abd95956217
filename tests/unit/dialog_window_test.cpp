// The settings dialog against the fake platform: load sequence, tiling, the bar and the timer,
// Set, Cancel and the close box, the link; and its pieces that stand on their own: the preview
// frame on picture panels, the zoom, the window placement, the number conversions and the
// preview angle.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <set>
#include <vector>

#include "dialog/picture_transform.h"
#include "dialog/rotate_picture.h"
#include "dialog/settings_dialog.h"
#include "dialog/zoom.h"
#include "platform/fake/fake_platform.h"
#include "startup/process_values.h"
#include "startup/settings.h"
#include "unit/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using platform::Rect;
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
    EXPECT_EQ(std::make_pair(window.clientWidth, window.clientHeight), std::make_pair(405, 261));
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
        EXPECT_EQ(actual, std::multiset<std::string>(expected.begin(), expected.end()));
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

// A fake host that also keeps the pixels handed to SetDIBits.
class PixelHost : public FakeHost {
  public:
    std::int32_t SetDIBits(platform::Handle dc, platform::Handle bitmap, std::uint32_t start,
                           std::uint32_t lines, const void* bits, const platform::BitmapInfo* info,
                           std::uint32_t usage) override {
        const auto* bytes = static_cast<const std::uint8_t*>(bits);
        written.assign(bytes, bytes + std::size_t{lines} * std::abs(info->biWidth) * 4);
        return FakeHost::SetDIBits(dc, bitmap, start, lines, bits, info, usage);
    }
    std::vector<std::uint8_t> written;
};

struct Panels {
    explicit Panels(FakeHost& host)
        : source(host, 1, platform::BorderStyle::None),
          destination(host, 2, platform::BorderStyle::None) {}
    FakePicturePanel source;
    FakePicturePanel destination;
};

// Source and destination of different, non-square sizes: every size, the angle and the smoothing
// must reach the transform, and the result must reach the destination panel top-down.
TEST(RotatePicture, ReadsTurnsAndWritesThePanelsImages) {
    for (const bool smooth : {true, false}) {
        PixelHost host;
        Panels panels(host);
        panels.source.Move(544, 104, 7, 5);
        panels.destination.Move(16, 16, 6, 4);
        host.dibBits.resize(7 * 5 * 4);
        for (std::size_t i = 0; i < host.dibBits.size(); ++i)
            host.dibBits[i] = static_cast<std::uint8_t>(i * 37 + 11);

        Veltrane_B2::RotatePicture(host, panels.source, panels.destination, 37.0, smooth);

        std::vector<std::uint8_t> expected(6 * 4 * 4);
        Veltrane_B2::TransformPixels(host.dibBits.data(), 7, 5, expected.data(), 6, 4, 37.0,
                                     smooth);
        EXPECT_EQ(host.written, expected) << smooth;
        const auto handles = [](const FakePicturePanel& p, int lines) {
            return "(" + std::to_string(p.dc) + ", " + std::to_string(p.image) + ", 0, " +
                   std::to_string(lines) + ", 0)";
        };
        EXPECT_EQ(host.CallsNamed("GetDIBits"),
                  std::vector<std::string>{"GetDIBits" + handles(panels.source, 5)});
        EXPECT_EQ(host.CallsNamed("SetDIBits"),
                  std::vector<std::string>{"SetDIBits" + handles(panels.destination, 4)});
        EXPECT_EQ(std::make_pair(host.lastDibInfo.biWidth, host.lastDibInfo.biHeight),
                  std::make_pair(6, -4));
        EXPECT_GE(panels.destination.refreshes, 1);
    }
}

TEST(RotatePicture, UnreadableSourceGivesBlackAndEmptyPanelsAreLeftAlone) {
    PixelHost host;
    Panels panels(host);
    panels.source.Move(0, 0, 4, 4);
    panels.destination.Move(0, 0, 4, 4);
    host.getDIBitsResult = 0;  // and nothing filled in
    Veltrane_B2::RotatePicture(host, panels.source, panels.destination, 0.0, true);
    EXPECT_EQ(host.written, std::vector<std::uint8_t>(4 * 4 * 4, 0));

    host.calls.clear();
    panels.destination.Move(0, 0, 0, 4);
    Veltrane_B2::RotatePicture(host, panels.source, panels.destination, 0.0, true);
    EXPECT_TRUE(host.calls.empty());
}

TEST(Zoom, OpensFromAndClosesIntoThePointerAtLoad) {
    const struct {
        std::int32_t cursorResult;
        std::int32_t originX, originY;
    } cases[] = {{1, 300, 200}, {0, 0, 0}};
    for (const auto& c : cases) {
        FakeHost host;
        const platform::Handle window = 0x77;
        host.windowRects[window] = Rect{10, 20, 421, 306};
        host.cursor = {300, 200};
        host.getCursorPosResult = c.cursorResult;
        Veltrane_B::ZoomOriginX = Veltrane_B::ZoomOriginY = 5;

        Veltrane_B::CaptureZoomOrigin(host);
        EXPECT_EQ(Veltrane_B::LastApiResult, c.cursorResult);
        Veltrane_B::ZoomOpen(host, window);
        host.cursor = {900, 700};  // moving the pointer later changes nothing
        Veltrane_B::ZoomClose(host, window);

        const std::string origin = std::to_string(c.originX) + ", " + std::to_string(c.originY);
        const std::string call = "DrawAnimatedRects(" + std::to_string(window) + ", 3, ";
        EXPECT_EQ(
            host.CallsNamed("DrawAnimatedRects"),
            (std::vector<std::string>{call + origin + ", " + origin + ", 10, 20, 421, 306)",
                                      call + "10, 20, 421, 306, " + origin + ", " + origin + ")"}));
    }
}

TEST(DialogPosition, CentredAndAtOneThirdInTwips) {
    const struct {
        std::int32_t screenW, screenH, windowW, windowH, tppX, tppY;
        platform::Point expected;
    } cases[] = {
        // 613 x 15 \ 2 = 4597 tw; 482 x 15 \ 3 = 2410 tw
        {1024, 768, 411, 286, 15, 15, {306, 161}}, {1024, 768, 412, 287, 15, 15, {306, 160}},
        {800, 600, 411, 286, 12, 12, {194, 105}},  // 120 dots per inch
        {300, 200, 411, 286, 15, 15, {-55, -29}},  // larger than the screen: truncated toward zero
        {1024, 768, 411, 286, 0, 0, {306, 160}},   // no usable factor: plain pixels
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            Veltrane_B::DialogPosition(c.screenW, c.screenH, c.windowW, c.windowH, c.tppX, c.tppY),
            c.expected)
            << c.screenW << "x" << c.screenH << " tpp " << c.tppX;
    }
}

TEST(DialogConversions, NearestTiesToEvenAndOverflowSkips) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float value;
        std::optional<std::int16_t> integer;
        std::optional<std::int32_t> longValue;
    } cases[] = {
        {100.0f, 100, 100},       {2.5f, 2, 2},          {3.5f, 4, 4},
        {-5.0f, -5, -5},          {-0.5f, 0, 0},         {5000.0f, 5000, 5000},
        {32767.0f, 32767, 32767}, {32767.5f, {}, 32768}, {-32768.5f, -32768, -32768},
        {70000.0f, {}, 70000},    {3e9f, {}, {}},        {nan, {}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Veltrane_B::ToInteger16(c.value), c.integer) << c.value;
        EXPECT_EQ(Veltrane_B::ToLong32(c.value), c.longValue) << c.value;
    }
}

TEST(PreviewAngle, WholeDegreesSpreadOverTheCircleAndFixedByTheSeed) {
    std::vector<int> counts(360, 0);
    for (int ms = 0; ms < 36000; ++ms) {
        const double seconds = 43200.0 + ms / 1000.0;
        const std::int32_t angle = Veltrane_B::PreviewAngle(seconds);
        ASSERT_GE(angle, 0);
        ASSERT_LE(angle, 359);
        ASSERT_EQ(angle, Veltrane_B::PreviewAngle(seconds));
        ++counts[angle];
    }
    // 100 expected per degree; every degree turns up and none dominates.
    for (int degree = 0; degree < 360; ++degree) {
        EXPECT_GT(counts[degree], 50) << degree;
        EXPECT_LT(counts[degree], 160) << degree;
    }
    const double r = Veltrane_B::ReseededRandom(std::nextafter(86400.0, 0.0));
    EXPECT_TRUE(r >= 0.0 && r < 1.0);
}

}  // namespace
