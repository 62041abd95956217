// The settings dialog on the fake platform; the preview frame, placement, scaling and angle.
#include <gtest/gtest.h>

#include <algorithm>
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
#include "platform/fake/fake_platform.h"
#include "platform/scaling.h"
#include "resource_ids.h"
#include "startup/settings.h"
#include "unit/process_values_guard.h"
#include "unit/temp_folder.h"

namespace {

using namespace platform::fake;
using platform::Rect;
using Pointer = platform::MousePointer;
using Strings = std::vector<std::string>;
using Veltrane_B::Veltrane_P;

class Dialog : public TempFolderTest {
  protected:
    // Loaded as the modal show does: outer size 411 x 286, the pointer at 300, 200.
    std::unique_ptr<Veltrane_P> Load(float interval) {
        host.calls.clear();
        std::filesystem::create_directories(folder_ / "program");
        host.programFolder = (folder_ / "program").string();
        host.cursor = {300, 200};
        Veltrane_B::DisplayInterval = interval;
        auto dialog = std::make_unique<Veltrane_P>(host);
        host.windowRects[dialog->hWnd()] = {0, 0, 411, 286};
        dialog->Form_Load();
        return dialog;
    }
    FakeWindow& Window(Veltrane_P& d) { return static_cast<FakeWindow&>(*d.window); }
    // The copies onto `panel`: the w x h strip in two columns of `rows`, one past the bottom.
    void ExpectTiled(Veltrane_P& d, platform::PicturePanel& panel, int rows, int w, int h) {
        std::multiset<std::string> expected, copies;
        for (int i = 0; i < 2 * rows; ++i)
            expected.insert(CallText("BitBlt", panel.hDC(), i / rows * w, i % rows * h, w, h,
                                     d.Pic_Mbl->hDC(), 0, 0, platform::kSrcCopy));
        for (const std::string& call : host.CallsNamed("BitBlt"))
            if (call.starts_with("BitBlt(" + std::to_string(panel.hDC()) + ","))
                copies.insert(call);
        EXPECT_EQ(copies, expected);
    }

    FakeHost host;
    ProcessValuesGuard processValues_;
};

// The bar takes 1 to 3000 (else keeps 1), the timer 0 to 65535 (else keeps 100); nothing wraps.
TEST_F(Dialog, LoadSequenceTakesTheIntervalWithinEachControlsRange) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float interval;
        std::int32_t bar, timer, frames;  // frames drawn by one tick
    } cases[] = {
        {100, 100, 100, 1}, {250, 250, 250, 1},        {-5, 1, 100, 1},    {0, 1, 0, 0},
        {0.5f, 1, 0, 0},    {3000, 3000, 3000, 1},     {5000, 1, 5000, 1}, {65535, 1, 65535, 1},
        {70000, 1, 100, 1}, {4294967808.f, 1, 100, 1}, {inf, 1, 100, 1}};
    for (const auto& [interval, bar, timer, frames] : cases) {
        auto dialog = Load(interval);
        static_cast<FakeTimer&>(*dialog->Timer1).Fire();
        EXPECT_EQ(std::make_tuple(dialog->HS_Intval->Value(), dialog->Timer1->Interval(),
                                  dialog->Timer1->Enabled(), host.CountOf("SetDIBits"),
                                  std::bit_cast<std::uint32_t>(Veltrane_B::DisplayInterval)),
                  std::make_tuple(bar, timer, true, frames, std::bit_cast<std::uint32_t>(interval)))
            << interval;
    }
}

TEST_F(Dialog, WindowTextureBarLinkAndAFailedSet) {
    auto dialog = Load(100);
    const FakeWindow& window = Window(*dialog);
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
    ExpectTiled(*dialog, *dialog->Pic_C, 14, 579, 21);
    ExpectTiled(*dialog, *dialog->Pic_D, 5, 579, 21);

    // A change and a drag set the timer; a release only where the drag moved the value.
    auto& bar = static_cast<FakeScrollBar&>(*dialog->HS_Intval);
    bar.SetValue(1500);
    const std::int32_t onChange = dialog->Timer1->Interval();
    bar.Scroll(platform::ScrollCode::ThumbTrack, 42);
    const std::int32_t onDrag = dialog->Timer1->Interval();
    dialog->Timer1->SetInterval(7);
    bar.Scroll(platform::ScrollCode::ThumbPosition, 42);
    EXPECT_EQ(
        std::make_tuple(onChange, onDrag, dialog->Timer1->Interval(), dialog->Timer1->Enabled()),
        std::make_tuple(1500, 42, 42, true));

    // The link opens the home page with the hourglass around, and the dialog stays.
    host.pointerHistory.clear();
    dialog->lbl_URL->onClick();
    EXPECT_EQ(host.CallsNamed("ShellExecuteA"),
              Strings{CallText("ShellExecuteA", dialog->hWnd(), "open", Veltrane_B::kHomePage, "",
                               "", platform::kSwShowNormal)});
    EXPECT_EQ(host.pointerHistory, (std::vector{Pointer::Hourglass, Pointer::Default}));
    EXPECT_FALSE(window.closed);

    // Set into a folder that cannot exist says so, readable on any code page, and stays open.
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

// At 144 dpi every figure is 1.5 times (halves to even); at 192 where the system proposes, labels
// at least their texts' size; back at 96 the layout's sizes.
TEST_F(Dialog, LaidOutAtTheWindowsScaleAndAgainWhereverItMoves) {
    host.dpi = 144;
    auto dialog = Load(100);
    FakeWindow& window = Window(*dialog);
    EXPECT_EQ(std::make_tuple(window.clientWidth, window.clientHeight,
                              dialog->picDestination->Bounds(), dialog->Pic_D->Bounds(),
                              dialog->lbl[1]->Bounds(), dialog->picSource->Bounds()),
              std::make_tuple(608, 392, Rect{24, 24, 324, 324}, Rect{354, 24, 578, 128},
                              Rect{12, 12, 123, 32}, Rect{816, 156, 1116, 456}));
    for (const std::string& load : {CallText("LoadBitmapResource", IDB_SAMPLE_PHOTO, 300, 300),
                                    CallText("LoadBitmapResource", IDB_TEXTURE, 868, 32),
                                    CallText("LoadBitmapResource", IDB_SKIN_NORMAL, 96, 38)})
        EXPECT_GT(host.CountOf(load), 0) << load;
    ExpectTiled(*dialog, *dialog->Pic_C, 14, 868, 32);

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

// Every way out zooms into the pointer at load (the corner when unread); only Set writes.
TEST_F(Dialog, OnlySetWritesAndEveryCloseZoomsIntoThePointerAtLoad) {
    using Close = void (*)(Veltrane_P&);
    const Close set = [](Veltrane_P& d) { d.Cmd_Set->Click(); };
    const Close closeBox = [](Veltrane_P& d) { d.window->Close(); };
    const Close cancel = [](Veltrane_P& d) { d.Cmd_Can->Click(); };
    const Close esc = [](Veltrane_P& d) { d.window->onKeyDown(platform::kVkEscape, 0); };
    const struct {
        Close close;
        std::int32_t bar;
        const char* written;  // nothing: the file keeps its value
        bool pointerRead;
    } cases[] = {{set, 250, " 250", true},       {set, 1, " 1", true},
                 {set, 3000, " 3000", true},     {cancel, 250, nullptr, true},
                 {closeBox, 250, nullptr, true}, {closeBox, 250, nullptr, false},
                 {esc, 250, nullptr, true}};
    const std::string line = std::string("[Section]\r\n") + Veltrane_B::kIntervalKey + "=";
    std::filesystem::create_directories(folder_ / "program");
    const std::string path = Veltrane_B::SettingsFilePath((folder_ / "program").string());
    const Rect window{0, 0, 411, 286};
    for (const auto& [close, bar, written, pointerRead] : cases) {
        std::ofstream(path, std::ios::binary) << line + "777\r\n";
        Veltrane_B::IntervalText.clear();
        host.getCursorPosResult = pointerRead;
        auto dialog = Load(100);
        dialog->HS_Intval->SetValue(bar);
        host.cursor = {5, 5};  // the pointer moved since loading
        close(*dialog);
        EXPECT_TRUE(Window(*dialog).closed);
        EXPECT_EQ(ReadAll(path), line + (written ? written : "777") + "\r\n");
        EXPECT_EQ(Veltrane_B::IntervalText, written ? written : "");
        const Rect at = pointerRead ? Rect{300, 200, 300, 200} : Rect{};
        const auto zoom = [&](Rect from, Rect to) {
            return CallText("DrawAnimatedRects", dialog->hWnd(), platform::kIdaniCaption, from.left,
                            from.top, from.right, from.bottom, to.left, to.top, to.right,
                            to.bottom);
        };
        EXPECT_EQ(host.CallsNamed("DrawAnimatedRects"),
                  (Strings{zoom(at, window), zoom(window, at)}));
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

// Sizes that differ in each axis, so that any size mixed up shows.
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
        double twips;  // per pixel
        platform::Point corner;
    } cases[] = {
        // 613 x 15 \ 2 = 4597 tw; 482 x 15 \ 3 = 2410 tw
        {1024, 768, 411, 286, 15, {306, 161}},  {1024, 768, 412, 287, 15, {306, 160}},
        {800, 600, 411, 286, 12, {194, 105}},    // 120 dots per inch
        {1024, 768, 411, 286, 7.5, {307, 161}},  // 192: 4597.5 tw to even, 4598 \ 2 = 2299 tw
        {300, 200, 411, 286, 15, {-55, -29}},    // larger than the screen: truncated toward zero
        {1024, 768, 411, 286, 0, {306, 160}}};   // no usable factor: plain pixels
    for (const auto& [screenW, screenH, windowW, windowH, twips, corner] : cases)
        EXPECT_EQ(Veltrane_B::DialogPosition(screenW, screenH, windowW, windowH, twips, twips),
                  corner)
            << screenW << "x" << screenH << " tpp " << twips;
}

// The nearest drawn picture (the larger of two as near), resized smoothly, fitted and centred.
TEST(Scaling, NearestPictureSmoothResizeAndFit) {
    const platform::Size drawn[] = {{64, 25}, {96, 38}, {128, 50}};
    EXPECT_EQ(std::make_tuple(platform::NearestPicture(drawn, {80, 31}),
                              platform::NearestPicture(drawn, {70, 27}),
                              platform::NearestPicture(drawn, {500, 1})),
              std::make_tuple(1u, 0u, 2u));
    EXPECT_EQ(std::make_tuple(platform::FitInside({152, 112}, {200, 150}),
                              platform::FitInside({152, 112}, {1, 1000}),
                              platform::FitInside({152, 112}, {0, 10})),
              std::make_tuple(Rect{0, 1, 200, 148}, Rect{0, 499, 1, 500}, Rect{}));
    // A step from black to 200, 100, 50, resized to other widths: softened between kept ends.
    const std::vector<std::uint8_t> row{0,   0,   0,  0, 0,   0,   0,  0, 0,   0,   0,  0,
                                        200, 100, 50, 0, 200, 100, 50, 0, 200, 100, 50, 0};
    const struct {
        int width;
        std::vector<int> red;
    } reds[] = {{6, {0, 0, 0, 200, 200, 200}},
                {4, {0, 22, 178, 200}},
                {9, {0, 0, 0, 0, 100, 200, 200, 200, 200}},
                {12, {0, 0, 0, 0, 0, 50, 150, 200, 200, 200, 200, 200}}};
    for (const auto& [width, red] : reds) {
        std::vector<std::uint8_t> out(std::size_t(width) * 2 * 4, 7);
        platform::ResizeSmooth(row.data(), {6, 1}, out.data(), {width, 2});
        for (int y = 0; y < 2; ++y) {
            std::vector<int> seen;
            for (int x = 0; x < width; ++x) seen.push_back(out[std::size_t(y * width + x) * 4]);
            EXPECT_EQ(seen, red) << width << " row " << y;
        }
        EXPECT_EQ(std::vector(out.end() - 4, out.end()),
                  std::vector<std::uint8_t>({200, 100, 50, 0}));
        if (width == 6) {
            EXPECT_EQ(std::vector(out.begin(), out.begin() + 24), row);
        }
    }
}

TEST(PreviewAngle, WholeDegreesSpreadOverTheCircleAndFixedByTheSeed) {
    std::vector<int> counts(360, 0);  // 100 expected per degree
    for (int ms = 0; ms < 36000; ++ms) ++counts.at(Veltrane_B::PreviewAngle(43200.0 + ms / 1000.0));
    const auto [least, most] = std::minmax_element(counts.begin(), counts.end());
    EXPECT_GT(*least, 50);
    EXPECT_LT(*most, 160);
    EXPECT_EQ(Veltrane_B::PreviewAngle(43200.5), Veltrane_B::PreviewAngle(43200.5));
    const double r = Veltrane_B::ReseededRandom(std::nextafter(86400.0, 0.0));
    EXPECT_TRUE(r >= 0.0 && r < 1.0) << r;
}

}  // namespace
