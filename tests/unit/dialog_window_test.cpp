// The settings dialog against the fake platform: load sequence, window, texture, the bar and the
// timer, the link, Set, Cancel and the close box with their zoom; and its pieces that stand on
// their own: the preview frame on picture panels, the window placement and the preview angle.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <fstream>
#include <limits>
#include <set>
#include <tuple>
#include <vector>

#include "dialog/picture_transform.h"
#include "dialog/rotate_picture.h"
#include "dialog/settings_dialog.h"
#include "dialog/zoom.h"
#include "platform/fake/fake_platform.h"
#include "platform/scaling.h"
#include "resource_ids.h"
#include "startup/command_line.h"
#include "startup/process_values.h"
#include "startup/settings.h"
#include "unit/process_values_guard.h"
#include "unit/temp_folder.h"

namespace {

using namespace platform::fake;
using platform::Rect;
using Pointer = platform::MousePointer;
using Strings = std::vector<std::string>;
using Veltrane_B::Veltrane_P;

std::string Zoom(platform::Handle window, Rect from, Rect to) {
    return CallText("DrawAnimatedRects", window, platform::kIdaniCaption, from.left, from.top,
                    from.right, from.bottom, to.left, to.top, to.right, to.bottom);
}

class Dialog : public TempFolderTest {
  protected:
    // Builds and loads the dialog from the test's folder as the modal show does, with a frame of
    // 3 + 19 pixels and the pointer at 300, 200 (the pictures have the sizes they are loaded at).
    std::unique_ptr<Veltrane_P> Load(float interval) {
        host.calls.clear();
        host.programFolder = folder_.string();
        host.cursor = {300, 200};
        Veltrane_B::DisplayInterval = interval;
        auto dialog = std::make_unique<Veltrane_P>(host);
        host.windowRects[dialog->hWnd()] = {0, 0, 411, 286};
        dialog->Form_Load();
        return dialog;
    }
    static bool Closed(Veltrane_P& d) { return static_cast<FakeWindow&>(*d.window).closed; }

    FakeHost host;
    ProcessValuesGuard processValues_;
};

// The interval as the settings file gives it reaches each control only where the control takes
// it: the bar 1 to 3000 (else it keeps 1), the timer 0 to 65535 (else it keeps 100; at 0 it never
// ticks). Numbers beyond 16 and 32 bits never wrap round.
TEST_F(Dialog, LoadSequenceTakesTheIntervalWithinEachControlsRange) {
    const struct {
        const char* setting;  // the value in the file
        std::int32_t bar, timer;
        int frames;  // drawn by one tick
    } cases[] = {{"", 100, 100, 1},    {" 250", 250, 250, 1},
                 {"-5", 1, 100, 1},    {"0", 1, 0, 0},
                 {"0.5", 1, 0, 0},     {"3000", 3000, 3000, 1},
                 {"5000", 1, 5000, 1}, {"65535", 1, 65535, 1},
                 {"70000", 1, 100, 1}, {"4294967808", 1, 100, 1},
                 {"1e999", 1, 100, 1}, {"abc", 100, 100, 1}};
    for (const auto& c : cases) {
        const float interval = Veltrane_B::IntervalFromText(c.setting);
        auto dialog = Load(interval);
        static_cast<FakeTimer&>(*dialog->Timer1).Fire();
        // The process value is never changed by the dialog.
        EXPECT_EQ(
            std::make_tuple(dialog->HS_Intval->Value(), dialog->Timer1->Interval(),
                            dialog->Timer1->Enabled(), host.CountOf("SetDIBits"),
                            std::bit_cast<std::uint32_t>(Veltrane_B::DisplayInterval)),
            std::make_tuple(c.bar, c.timer, true, c.frames, std::bit_cast<std::uint32_t>(interval)))
            << c.setting;
    }
}

TEST_F(Dialog, WindowTextureBarLinkAndAFailedSet) {
    auto dialog = Load(100);
    const FakeWindow& window = static_cast<FakeWindow&>(*dialog->window);
    // Placed by its real outer size: centred, one third of the free height from the top.
    EXPECT_EQ(
        std::make_tuple(window.kind, window.clientWidth, window.clientHeight, window.state.bounds),
        std::make_tuple(platform::WindowKind::FixedDialog, 405, 261, Rect{306, 161, 717, 447}));
    // Japanese captions need the Japanese character set; only the link is underlined, with a hand.
    for (const platform::Label* shown : {dialog->lbl[1].get(), dialog->lbl_URL.get()}) {
        const auto& label = static_cast<const FakeLabel&>(*shown);
        const bool link = shown == dialog->lbl_URL.get();
        EXPECT_EQ(std::make_tuple(label.font.charset, label.font.underline, label.pointer),
                  std::make_tuple(128, link, link ? Pointer::Hand : Pointer::Default));
    }
    EXPECT_FALSE(dialog->Pic_Mbl->Visible());
    EXPECT_GE(dialog->picSource->Bounds().left, 405);  // outside the client area

    // The texture strip tiles each panel in two columns, each one copy past the bottom.
    const std::int64_t strip = dialog->Pic_Mbl->hDC();
    for (const auto& [panel, rows] :
         {std::pair{dialog->Pic_C.get(), 14}, {dialog->Pic_D.get(), 5}}) {
        const std::int64_t dc = panel->hDC();
        std::multiset<std::string> expected, actual;
        for (int i = 0; i < 2 * rows; ++i)
            expected.insert(CallText("BitBlt", dc, i / rows * 579, i % rows * 21, 579, 21, strip, 0,
                                     0, platform::kSrcCopy));
        for (const std::string& call : host.CallsNamed("BitBlt"))
            if (call.rfind("BitBlt(" + std::to_string(dc) + ",", 0) == 0) actual.insert(call);
        EXPECT_EQ(actual, expected);
    }

    // The bar sets the timer on a change and while the thumb is dragged; releasing the thumb
    // is a change only where the drag moved the value.
    auto& bar = static_cast<FakeScrollBar&>(*dialog->HS_Intval);
    bar.SetValue(1500);
    const std::int32_t onChange = dialog->Timer1->Interval();
    bar.Scroll(platform::ScrollCode::ThumbTrack, 42);
    const std::int32_t onDrag = dialog->Timer1->Interval();
    dialog->Timer1->SetInterval(7);
    bar.Scroll(platform::ScrollCode::ThumbPosition, 42);
    const std::int32_t onRelease = dialog->Timer1->Interval();
    dialog->Timer1->SetInterval(7);
    bar.Scroll(platform::ScrollCode::ThumbPosition, 42);  // taken and let go where it was
    EXPECT_EQ(std::make_tuple(onChange, onDrag, onRelease, dialog->Timer1->Interval(),
                              dialog->Timer1->Enabled()),
              std::make_tuple(1500, 42, 42, 7, true));

    // The link opens the home page with the hourglass around, and the dialog stays.
    host.pointerHistory.clear();
    dialog->lbl_URL->onClick();
    EXPECT_EQ(host.CallsNamed("ShellExecuteA"),
              Strings{CallText("ShellExecuteA", dialog->hWnd(), "open", Veltrane_B::kHomePage, "",
                               "", platform::kSwShowNormal)});
    EXPECT_EQ(host.pointerHistory, (std::vector{Pointer::Hourglass, Pointer::Default}));
    EXPECT_FALSE(window.closed);

    // Set into a folder inside one that does not exist (nothing can be written there on any
    // system) says so, readable on any code page (UTF-8 for the wide API), and stays open.
    host.programFolder = (folder_ / "missing" / "folder").string();
    dialog->Cmd_Set->Click();
    EXPECT_FALSE(window.closed);
    const Strings boxes = host.CallsNamed("MessageBoxW");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].starts_with(
        "MessageBoxW(表示インターバルを次のファイルに保存できませんでした。\r\n" +
        Veltrane_B::SettingsFilePath(host.programFolder) + "\r\n\r\n"))
        << boxes[0];
    dialog->Cmd_Can->Click();  // the user can still leave
    EXPECT_TRUE(window.closed);
}

// At 144 dots per inch every figure of the layout is 1.5 times its own (halves to even), each
// picture is loaded at that size and the texture tiled with the strip's; a move to a monitor at
// 192 lays it all out again there, where the system proposes, each label at least as large as its
// text; back at 96 the labels have the layout's sizes, whatever their texts measure.
TEST_F(Dialog, LaidOutAtTheWindowsScaleAndAgainWhereverItMoves) {
    host.dpi = 144;
    auto dialog = Load(100);
    auto& window = static_cast<FakeWindow&>(*dialog->window);
    EXPECT_EQ(std::make_tuple(window.clientWidth, window.clientHeight,
                              dialog->picDestination->Bounds(), dialog->Pic_D->Bounds(),
                              dialog->lbl[1]->Bounds(), dialog->picSource->Bounds()),
              std::make_tuple(608, 392, Rect{24, 24, 324, 324}, Rect{354, 24, 578, 128},
                              Rect{12, 12, 123, 32}, Rect{816, 156, 1116, 456}));
    for (const auto& [id, width, height] : {std::tuple{IDB_SAMPLE_PHOTO, 300, 300},
                                            {IDB_TEXTURE, 868, 32},
                                            {IDB_SKIN_NORMAL, 96, 38}})
        EXPECT_GT(host.CountOf(CallText("LoadBitmapResource", id, width, height)), 0) << id;
    const std::string onto = "BitBlt(" + std::to_string(dialog->Pic_C->hDC()) + ", ";
    const std::string strip = ", 868, 32, " + std::to_string(dialog->Pic_Mbl->hDC()) + ", 0, 0, ";
    int copies = 0;  // onto Pic_C: two columns of 14 (y = 0 to 416)
    for (const std::string& call : host.CallsNamed("BitBlt"))
        copies += call.starts_with(onto) && call.find(strip) != std::string::npos;
    EXPECT_EQ(copies, 28);

    static_cast<FakeLabel&>(*dialog->lbl[3]).extent = {111, 28};
    host.windowRects[dialog->hWnd()] = {0, 0, 822, 553};
    window.ChangeDpi(192, {10, 20, 900, 600});
    EXPECT_EQ(std::make_tuple(window.clientWidth, window.clientHeight, window.state.bounds,
                              dialog->lbl[3]->Bounds(), dialog->lbl[2]->Bounds()),
              std::make_tuple(810, 522, Rect{10, 20, 832, 573}, Rect{672, 224, 783, 252},
                              Rect{472, 192, 694, 218}));
    window.ChangeDpi(96, {});
    EXPECT_EQ(dialog->lbl[3]->Bounds(), (Rect{336, 112, 386, 125}));
}

// Every way out, Esc included, zooms into where the pointer was at load (the screen's corner when
// it could not be read); only Set writes.
TEST_F(Dialog, OnlySetWritesAndEveryCloseZoomsIntoThePointerAtLoad) {
    using Close = void (*)(Veltrane_P&);
    const Close set = [](Veltrane_P& d) { d.Cmd_Set->Click(); };
    const Close closeBox = [](Veltrane_P& d) { d.window->Close(); };
    const Close cancel = [](Veltrane_P& d) { d.Cmd_Can->Click(); };
    const Close esc = [](Veltrane_P& d) { d.window->onKeyDown(platform::kVkEscape, 0); };
    const struct {
        Close close;
        std::int32_t bar;
        const char* written;  // nullptr: the file keeps its old value
        bool pointerRead = true;
    } cases[] = {{set, 250, " 250"},     {set, 1, " 1"},           {set, 3000, " 3000"},
                 {cancel, 250, nullptr}, {closeBox, 250, nullptr}, {closeBox, 250, nullptr, false},
                 {esc, 250, nullptr}};
    const std::string line = std::string("[Section]\r\n") + Veltrane_B::kIntervalKey + "=";
    const std::string path = Veltrane_B::SettingsFilePath(folder_.string());
    const Rect window{0, 0, 411, 286};
    for (const auto& c : cases) {
        std::ofstream(path, std::ios::binary) << line + "777\r\n";
        Veltrane_B::IntervalText.clear();
        host.getCursorPosResult = c.pointerRead;
        auto dialog = Load(100);
        dialog->HS_Intval->SetValue(c.bar);
        host.cursor = {5, 5};  // the pointer moved since loading
        c.close(*dialog);
        EXPECT_TRUE(Closed(*dialog));
        EXPECT_EQ(ReadAll(path), line + (c.written ? c.written : "777") + "\r\n");
        EXPECT_EQ(Veltrane_B::IntervalText, c.written ? c.written : "");
        const Rect origin = c.pointerRead ? Rect{300, 200, 300, 200} : Rect{};
        EXPECT_EQ(
            host.CallsNamed("DrawAnimatedRects"),
            (Strings{Zoom(dialog->hWnd(), origin, window), Zoom(dialog->hWnd(), window, origin)}));
        EXPECT_EQ(host.CountOf("MessageBoxW"), 0);
    }
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
    FakePicturePanel source{*this, 1, platform::BorderStyle::None};
    FakePicturePanel destination{*this, 2, platform::BorderStyle::None};
};

// Source and destination of different, non-square sizes: every size, the angle and the smoothing
// must reach the transform, and the result must reach the destination panel's image top-down.
TEST(RotatePicture, ReadsTurnsAndWritesThePanelsImagesAndLeavesEmptyOnesAlone) {
    for (const bool smooth : {true, false}) {
        PixelHost host;
        host.source.Move(544, 104, 7, 5);
        host.destination.Move(16, 16, 6, 4);
        for (int i = 0; i < 7 * 5 * 4; ++i) host.dibBits.push_back(std::uint8_t(i * 37 + 11));
        Veltrane_B2::RotatePicture(host, host.source, host.destination, 37.0, smooth);

        std::vector<std::uint8_t> expected(6 * 4 * 4);
        Veltrane_B2::TransformPixels(host.dibBits.data(), 7, 5, expected.data(), 6, 4, 37.0,
                                     smooth);
        EXPECT_EQ(host.written, expected) << smooth;
        const auto image = [](const char* call, const FakePicturePanel& p, std::int64_t lines) {
            return Strings{CallText(call, p.dc, p.image, 0, lines, 0)};
        };
        EXPECT_EQ(host.CallsNamed("GetDIBits"), image("GetDIBits", host.source, 5));
        EXPECT_EQ(host.CallsNamed("SetDIBits"), image("SetDIBits", host.destination, 4));
        EXPECT_EQ(std::make_pair(host.lastDibInfo.biWidth, host.lastDibInfo.biHeight),
                  std::make_pair(6, -4));
        EXPECT_GE(host.destination.refreshes, 1);
    }
    // An unreadable source gives black; an empty panel is left alone.
    PixelHost host;
    host.source.Move(0, 0, 4, 4);
    host.destination.Move(0, 0, 4, 4);
    host.getDIBitsResult = 0;  // and nothing filled in
    Veltrane_B2::RotatePicture(host, host.source, host.destination, 0.0, true);
    EXPECT_EQ(host.written, std::vector<std::uint8_t>(4 * 4 * 4, 0));
    host.calls.clear();
    host.destination.Move(0, 0, 0, 4);
    Veltrane_B2::RotatePicture(host, host.source, host.destination, 0.0, true);
    EXPECT_TRUE(host.calls.empty());
}

TEST(DialogPosition, CentredAndAtOneThirdInTwips) {
    const struct {
        int screenW, screenH, windowW, windowH;
        double twipsPerPixel;
        platform::Point corner;  // the window's top-left corner
    } cases[] = {
        // 613 x 15 \ 2 = 4597 tw; 482 x 15 \ 3 = 2410 tw
        {1024, 768, 411, 286, 15, {306, 161}},  {1024, 768, 412, 287, 15, {306, 160}},
        {800, 600, 411, 286, 12, {194, 105}},    // 120 dots per inch
        {1024, 768, 411, 286, 7.5, {307, 161}},  // 192: 4597.5 tw to even, 4598 \ 2 = 2299 tw
        {300, 200, 411, 286, 15, {-55, -29}},    // larger than the screen: truncated toward zero
        {1024, 768, 411, 286, 0, {306, 160}},    // no usable factor: plain pixels
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Veltrane_B::DialogPosition(c.screenW, c.screenH, c.windowW, c.windowH,
                                             c.twipsPerPixel, c.twipsPerPixel),
                  c.corner)
            << c.screenW << "x" << c.screenH << " tpp " << c.twipsPerPixel;
    }
}

// The pictures between the scales they are drawn at: the nearest drawn (the larger of two as
// near), resized smoothly (the same size copied as it is, a flat colour kept, a step between two
// colours softened but its ends kept), and fitted into a box with their aspect, centred.
TEST(Scaling, NearestPictureSmoothResizeAndFit) {
    using platform::Size;
    const Size drawn[] = {{64, 25}, {96, 38}, {128, 50}};
    EXPECT_EQ(std::make_tuple(platform::NearestPicture(drawn, {80, 31}),
                              platform::NearestPicture(drawn, {70, 27}),
                              platform::NearestPicture(drawn, {500, 1})),
              std::make_tuple(1u, 0u, 2u));
    EXPECT_EQ(std::make_tuple(platform::FitInside({152, 112}, {200, 150}),
                              platform::FitInside({152, 112}, {1, 1000}),
                              platform::FitInside({152, 112}, {0, 10})),
              std::make_tuple(Rect{0, 1, 200, 148}, Rect{0, 499, 1, 500}, Rect{}));

    // A row of 6 pixels, 3 black then 3 of another colour, at other widths and 2 rows high.
    std::vector<std::uint8_t> row;
    for (int x = 0; x < 6; ++x)
        for (const int channel : {x < 3 ? 0 : 200, x < 3 ? 0 : 100, x < 3 ? 0 : 50, 0})
            row.push_back(static_cast<std::uint8_t>(channel));
    for (const int width : {6, 4, 9, 12}) {
        std::vector<std::uint8_t> out(std::size_t(width) * 2 * 4, 7);
        platform::ResizeSmooth(row.data(), {6, 1}, out.data(), {width, 2});
        SCOPED_TRACE(width);
        EXPECT_EQ(std::vector(out.begin() + width * 4, out.end()),
                  std::vector(out.begin(), out.begin() + width * 4));  // rows alike
        if (width == 6) {
            EXPECT_EQ(std::vector(out.begin(), out.begin() + 24), row);
        }
        EXPECT_EQ(out[0], 0);
        EXPECT_EQ(
            std::make_tuple(out[std::size_t(width - 1) * 4], out[std::size_t(width - 1) * 4 + 2]),
            std::make_tuple(200, 50));
        int between = 0;
        for (int x = 1; x < width; ++x) {
            const std::uint8_t red = out[std::size_t(x) * 4];
            EXPECT_GE(red, out[std::size_t(x - 1) * 4]);
            between += red > 0 && red < 200;
        }
        EXPECT_EQ(between > 0, width != 6);
    }
}

TEST(PreviewAngle, WholeDegreesSpreadOverTheCircleAndFixedByTheSeed) {
    std::vector<int> counts(360, 0);
    for (int ms = 0; ms < 36000; ++ms) {
        const double seconds = 43200.0 + ms / 1000.0;
        const std::int32_t angle = Veltrane_B::PreviewAngle(seconds);
        ASSERT_TRUE(angle >= 0 && angle <= 359 && angle == Veltrane_B::PreviewAngle(seconds))
            << seconds << ": " << angle;
        ++counts[angle];
    }
    // 100 expected per degree; every degree turns up and none dominates.
    for (int degree = 0; degree < 360; ++degree)
        EXPECT_TRUE(counts[degree] > 50 && counts[degree] < 160)
            << degree << ": " << counts[degree];
    const double r = Veltrane_B::ReseededRandom(std::nextafter(86400.0, 0.0));
    EXPECT_TRUE(r >= 0.0 && r < 1.0);
}

}  // namespace
