// The session window against the recording fake: the timer's interval, the capture, the tick's
// mouse test, the exit paths with their platform calls in order, and the guards against nested
// ticks and checks; on several monitors, each monitor copied from its own place on the screen,
// shown at its own place in the window and turned about its own centre by the tick's one angle,
// read from its panel's own pixels (top-down or bottom-up), and laid out anew when the monitors
// change; the pixel stack's sizes.
#include "session/session_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "effects/rotate.h"
#include "platform/fake/fake_platform.h"
#include "startup/process_values.h"
#include "unit/process_values_guard.h"

namespace {

// Set-up stores platform results in the process values: every session test keeps them.
using SessionSetUp = ProcessValuesTest;
using SessionCapture = ProcessValuesTest;
using SessionTick = ProcessValuesTest;
using SessionExit = ProcessValuesTest;
using SessionGuards = ProcessValuesTest;
using SessionMonitors = ProcessValuesTest;

using platform::Rect;
using platform::fake::CallText;
using platform::fake::FakeHost;
using platform::fake::ProgramEnded;

// Loads a session on `screen`, made of `monitors` when any are listed.
inline std::unique_ptr<Veltrane_B::Veltrane_S> Load(FakeHost& host, const char* line,
                                                    Rect screen = {0, 0, 8, 6},
                                                    std::vector<Rect> monitors = {}) {
    host.commandLine = line;
    host.virtualScreen = screen;
    host.monitors = std::move(monitors);
    host.bitmapRecord = {screen.right - screen.left, screen.bottom - screen.top, 32};
    auto session = std::make_unique<Veltrane_B::Veltrane_S>(host);
    session->Form_Load();
    return session;
}

// A monitor's place in the window, whose origin is the virtual screen's.
Rect InWindow(const Rect& m, const Rect& screen) {
    return {m.left - screen.left, m.top - screen.top, m.right - screen.left, m.bottom - screen.top};
}

// Whether `f` ends the program.
template <typename F>
bool Ends(F&& f) {
    try {
        f();
    } catch (const ProgramEnded&) {
        return true;
    }
    return false;
}

TEST_F(SessionSetUp, IntervalTheTimerCannotTakeRunsAtTheDefault) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::pair<float, int> cases[] = {{100, 100},     {1500, 1500}, {1, 1},      {2.5f, 2},
                                           {65535, 65535}, {0, 100},     {0.4f, 100}, {-5, 100},
                                           {65536, 100},   {1e30f, 100}, {nan, 100}};
    for (const auto& [interval, period] : cases) {
        Veltrane_B::DisplayInterval = interval;
        FakeHost host;
        auto session = Load(host, "/s");
        EXPECT_EQ(host.timers[0]->interval, period) << interval;
        EXPECT_TRUE(host.timers[0]->enabled);
    }
}

// A bitmap that is no DIB section goes through GetDIBits, bottom line first, into three images.
TEST_F(SessionCapture, GetDIBitsFillsThreeEqualImages) {
    FakeHost host;
    host.dibBits.resize(4 * 3 * 4);
    std::iota(host.dibBits.begin(), host.dibBits.end(), std::uint8_t{1});
    auto session = Load(host, "", {0, 0, 4, 3});
    for (int k = 1; k <= 3; ++k) {
        const std::uint8_t* image = session->PixelStack().Image(k);
        EXPECT_TRUE(std::equal(host.dibBits.begin(), host.dibBits.end(), image)) << k;
    }
    EXPECT_EQ(host.lastDibInfo.biSizeImage, 48u);
    EXPECT_EQ(host.lastDibInfo.biHeight, 3);     // bottom-up
    EXPECT_EQ(host.CountOf("SelectObject"), 0);  // never selected into a context for GetDIBits
    // A bitmap of another width would write rows longer than image 1's: it is not read.
    host.bitmapRecord.bmWidth = 12;
    Veltrane_B1::MonitorImage other;
    other.width = 4, other.height = 3;
    session->ReadBitmapBits(0x777, other);
    EXPECT_EQ(host.CountOf("GetDIBits"), 1);  // the set-up's
    EXPECT_EQ(host.CountOf("GetDibSection"), 1);
    const std::uint8_t* image1 = other.pixels.Image(1);
    EXPECT_TRUE(std::all_of(image1, image1 + 48, [](std::uint8_t b) { return b == 0; }));
}

TEST_F(SessionTick, MouseTestNeedsBothAxesAndModeS) {
    const struct {
        const char* line;
        platform::Point cursor;
        std::int32_t cursorResult;
        bool ends;
    } cases[] = {{"/s", {150, 130}, 1, true},  {"/s", {150, 100}, 1, false},
                 {"/s", {100, 130}, 1, false}, {"/s", {150, 130}, 0, false},
                 {"", {150, 130}, 1, false},   {"/S extra", {99, 99}, 1, true}};
    for (const auto& c : cases) {
        FakeHost host;
        auto session = Load(host, c.line);
        host.cursor = c.cursor;
        host.getCursorPosResult = c.cursorResult;
        EXPECT_EQ(Ends([&] { host.timers[0]->Fire(); }), c.ends) << c.line << c.cursor.x;
        EXPECT_EQ(host.CountOf("GetCursorPos"), *c.line ? 2 : 1) << c.line;
    }
}

// The calls that matter on the way out, in order.
std::string ExitCalls(const FakeHost& host) {
    std::string out;
    for (const std::string& call : host.calls)
        for (const char* name : {"ShowCursor", "VerifyScreenSavePwd", "SystemParametersInfoA",
                                 "Close", "EndProgram", "MessageBoxW"})
            if (call.rfind(name, 0) == 0) out += call + "; ";
    return out;
}

TEST_F(SessionExit, EveryInputEndsThroughTheSameCalls) {
    // The check names the session's window, which each case's session has: "check" stands for it.
    const std::string cursor = "ShowCursor(1); ", check = "check; ",
                      stopped = "SystemParametersInfoA(97, 0, 0); ",
                      active = "SystemParametersInfoA(17, 1, 0); EndProgram; ";
    const struct {
        const char* line;
        std::uint32_t platformId;
        std::int32_t verify;
        std::string calls;
    } cases[] = {{"/s", 2, 1, stopped + cursor + active},
                 {"/s", 1, 1, cursor + check + stopped + active},
                 {"/s", 1, 0, cursor + check + "ShowCursor(0); "},
                 {"", 1, 0, active},
                 {"", 2, 1, active}};
    const std::function<void(Veltrane_B::Veltrane_S&)> triggers[] = {
        [](Veltrane_B::Veltrane_S& s) { s.Window().onKeyDown(16, 1); },  // Shift alone
        [](Veltrane_B::Veltrane_S& s) { s.Window().onMouseDown(2, 0, 5, 5); },
        [](Veltrane_B::Veltrane_S& s) { s.Display().onClick(); },
        [](Veltrane_B::Veltrane_S& s) { s.Display().onMouseDown(2, 0, 5, 5); },
    };
    for (const auto& c : cases) {
        for (const auto& trigger : triggers) {
            FakeHost host;
            auto session = Load(host, c.line);
            host.platformId = c.platformId;
            host.verifyResult = c.verify;
            host.calls.clear();
            const bool ended = Ends([&] { trigger(*session); });
            EXPECT_EQ(ended, c.verify != 0 || !*c.line) << c.line;
            std::string calls = c.calls;
            if (const std::size_t at = calls.find(check); at != std::string::npos)
                calls.replace(at, check.size(),
                              CallText("VerifyScreenSavePwd", session->Window().hWnd()) + "; ");
            EXPECT_EQ(ExitCalls(host), calls) << c.line << " " << c.platformId;
            EXPECT_EQ(host.timers[0]->enabled, !ended);
            EXPECT_EQ(session->PixelStack().Allocated(), !ended);  // unloaded before the end
        }
    }
    // A left press on Display ends through the click that follows, not twice.
    FakeHost host;
    auto session = Load(host, "/s");
    EXPECT_FALSE(Ends([&] { session->Display().onMouseDown(1, 0, 5, 5); }));
}

TEST_F(SessionGuards, NoNestedTicksNoSecondPasswordCheck) {
    FakeHost host;
    auto session = Load(host, "/s");
    host.platformId = 1;
    host.verifyResult = 0;
    // A tick delivered while a tick runs its messages is skipped.
    int nested = 0;
    host.onDoEvents = [&] {
        if (nested++ < 5) host.timers[0]->Fire();
    };
    host.timers[0]->Fire();
    EXPECT_EQ(host.CountOf("StretchDIBits"), 2);
    host.onDoEvents = nullptr;
    // While the password dialog is open, ticks and further input do nothing.
    host.onVerifyScreenSavePwd = [&] {
        host.timers[0]->Fire();
        session->Form_KeyDown(65, 0);
        session->Display_Click();
    };
    session->Form_KeyDown(65, 0);
    EXPECT_EQ(host.CountOf("VerifyScreenSavePwd"), 1);
    EXPECT_EQ(host.CountOf("StretchDIBits"), 2);
    // After a refused check the session turns on, and the next key asks again.
    host.onVerifyScreenSavePwd = nullptr;
    host.timers[0]->Fire();
    EXPECT_EQ(host.CountOf("StretchDIBits"), 3);
    host.verifyResult = 1;
    EXPECT_TRUE(Ends([&] { session->Form_KeyDown(65, 0); }));
    EXPECT_EQ(host.CountOf("ShowCursor(1)") - host.CountOf("ShowCursor(0)"), 1);
}

// On two monitors, drawing fails at set-up, drawing fails in a tick, or the window is closed from
// outside: mode "S" shows the cursor once, a failed drawing says "Blit Error" once and ends the
// program, and no monitor keeps its pixels.
TEST_F(SessionGuards, EveryWayOutShowsTheCursorOnce) {
    for (int way = 0; way < 3; ++way) {
        for (const char* line : {"/s", ""}) {
            SCOPED_TRACE(std::to_string(way) + line);
            FakeHost host;
            host.stretchDIBitsResult = way == 0 ? 0 : 1;
            std::unique_ptr<Veltrane_B::Veltrane_S> session;
            bool ended = Ends([&] {
                session = Load(host, line, {0, 0, 16, 6}, {{0, 0, 8, 6}, {8, 0, 16, 6}});
            });
            if (way == 1) {
                host.stretchDIBitsResult = 0;
                ended = Ends([&] { host.timers[0]->Fire(); });
            } else if (way == 2) {
                host.windows[0]->Close();
                host.timers[0]->Fire();
            }
            EXPECT_EQ(ended, way < 2);
            EXPECT_EQ(host.CountOf("ShowCursor(1)"), *line ? 1 : 0);
            EXPECT_EQ(host.CallsNamed("MessageBoxW"),
                      std::vector<std::string>(way < 2, "MessageBoxW(Blit Error, Veltrane, 0)"));
            EXPECT_EQ(host.CountOf("StretchDIBits"), way == 0 ? 1 : way == 1 ? 3 : 2);
            // A failure at set-up ends inside Load, before there is a session to hold pixels.
            EXPECT_TRUE(!session || !session->Monitors()[1].pixels.Allocated());
        }
    }
}

TEST_F(SessionMonitors, EachMonitorIsCopiedPlacedAndCentredOnItsOwn) {
    const struct {
        Rect screen;
        std::vector<Rect> listed;
        std::vector<Rect> shown = {};  // the monitors kept, in order, when not all listed
    } cases[] = {
        // Side by side.
        {{0, 0, 2048, 768}, {{0, 0, 1024, 768}, {1024, 0, 2048, 768}}},
        // Left of and below the primary: a negative origin.
        {{-640, 0, 1024, 768}, {{0, 0, 1024, 768}, {-640, 200, 0, 680}}},
        // Three sizes with gaps, one above the primary.
        {{-801, -601, 2000, 900}, {{0, 0, 1023, 767}, {-801, -601, 0, 0}, {1200, 100, 2000, 900}}},
        // Repeats and empty rectangles dropped.
        {{0, 0, 800, 600}, {{0, 0, 800, 600}, {0, 0, 800, 600}, {5, 5, 5, 9}}, {{0, 0, 800, 600}}},
        // None listed: the virtual screen, beyond 16-bit twips.
        {{-10, -20, 5110, 2860}, {}, {{-10, -20, 5110, 2860}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        FakeHost host;
        auto session = Load(host, "/s", c.screen, c.listed);
        const std::vector<Rect>& shown = c.shown.empty() ? c.listed : c.shown;

        EXPECT_EQ(host.calls.front(), "UsePhysicalPixels");
        EXPECT_EQ(host.windows[0]->state.bounds, c.screen);
        const std::string topmost =  // HWND_TOPMOST, neither moved nor sized nor activated
            CallText("SetWindowPos", host.windows[0]->hWnd(), -1, 0, 0, 0, 0, 19);
        EXPECT_EQ(host.CallsNamed("SetWindowPos"), std::vector<std::string>{topmost});
        ASSERT_EQ(session->Monitors().size(), shown.size());
        const auto& panels = host.windows[0]->panels;  // Master, then one Display per monitor
        ASSERT_EQ(panels.size(), shown.size() + 1);
        std::vector<std::string> blits, draws;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const Rect& m = shown[i];
            const int w = m.right - m.left, h = m.bottom - m.top;
            const auto& monitor = session->Monitors()[i];
            EXPECT_EQ(std::vector<std::int64_t>({monitor.width, monitor.height, monitor.centre.x,
                                                 monitor.centre.y,
                                                 std::int64_t(monitor.pixels.ImageBytes())}),
                      std::vector<std::int64_t>({w, h, w / 2, h / 2, std::int64_t(w) * h * 4}));
            EXPECT_EQ(panels[i + 1]->state.bounds, InWindow(m, c.screen)) << i;
            blits.push_back(CallText("BitBlt", panels[0]->dc, 0, 0, w, h, FakeHost::kScreenDc,
                                     m.left, m.top, platform::kSrcCopy));
            draws.push_back(CallText("StretchDIBits", panels[i + 1]->dc, 0, 0, w, h, 0, 0, w, h,
                                     platform::kDibPalColors, platform::kSrcCopy));
        }
        EXPECT_EQ(host.CallsNamed("BitBlt"), blits);
        EXPECT_EQ(host.CallsNamed("StretchDIBits"), draws);
        EXPECT_EQ(host.CountOf("ReleaseDC"), 1);
        // The capture surface gave its memory back once the copies were in the Displays.
        EXPECT_EQ(panels[0]->state.bounds, (Rect{0, 0, 1, 1}));

        // One tick lets the messages run once, after every monitor's frame.
        const int eventsBefore = host.doEventsCount;
        host.timers[0]->Fire();
        EXPECT_EQ(host.doEventsCount - eventsBefore, 2);  // the step's and the tick's
        // Input on any monitor's Display ends the session and gives every monitor's pixels back.
        EXPECT_TRUE(Ends([&] { session->Display(shown.size() - 1).onClick(); }));
        EXPECT_FALSE(session->Monitors()[0].pixels.Allocated());
    }
}

// Stores `picture` (w x h pixels, bottom-up, packed) as a DIB section's rows: top-down (negative
// height) or bottom-up, with `pad` spare bytes after each row.
platform::DibSection Store(const std::vector<std::uint8_t>& picture, int w, int h, bool topDown,
                           int pad, std::vector<std::uint8_t>& storage) {
    const int stride = w * 4 + pad;
    storage.assign(std::size_t(stride) * h, 0xEE);
    for (int y = 0; y < h; ++y)  // y from the bottom of the picture
        std::copy_n(&picture[std::size_t(y) * w * 4], w * 4,
                    &storage[std::size_t(topDown ? h - 1 - y : y) * stride]);
    return {w, topDown ? -h : h, stride, 32, storage.data()};
}

// Random pictures for `monitors`, bottom-up and packed, given to the host as their panels' DIB
// sections: top-down but the second, rows padded by 0, 4, 8 ... bytes.
std::vector<std::vector<std::uint8_t>> Pictures(FakeHost& host, const std::vector<Rect>& monitors,
                                                std::vector<std::vector<std::uint8_t>>& storage) {
    std::vector<std::vector<std::uint8_t>> pictures;
    std::mt19937 rng(5);
    storage.resize(monitors.size());
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const int w = monitors[i].right - monitors[i].left,
                  h = monitors[i].bottom - monitors[i].top;
        auto& picture = pictures.emplace_back(std::size_t(w) * h * 4);
        for (auto& b : picture) b = static_cast<std::uint8_t>(rng());
        host.dibSections.push_back(Store(picture, w, h, i != 1, 4 * int(i), storage[i]));
    }
    return pictures;
}

TEST_F(SessionMonitors, FramesAreEachMonitorsOwnPixelsTurnedByTheOneAngle) {
    FakeHost host;
    const std::vector<Rect> monitors = {{0, 0, 60, 31}, {-37, -20, -8, 3}, {1, -20, 20, -3}};
    std::vector<std::vector<std::uint8_t>> storage;
    const auto pictures = Pictures(host, monitors, storage);
    auto session = Load(host, "", {-37, -20, 60, 31}, monitors);
    // Read from the sections' own bits: nothing is selected, GetDIBits is never called.
    EXPECT_EQ(host.CountOf("GetDIBits") + host.CountOf("SelectObject"), 0);
    for (int i = 0; i < 3; ++i) {
        const auto& stack = session->Monitors()[i].pixels;
        for (int k = 1; k <= 3; ++k)
            EXPECT_TRUE(std::equal(pictures[i].begin(), pictures[i].end(), stack.Image(k)))
                << i << " image " << k;
    }
    std::set<int> angles;
    for (int tick = 0; tick < 3000; ++tick) {
        host.secondsSinceMidnight = 1000 + tick * 0.37;
        host.timers[0]->Fire();
        const float turn = session->RotationAngle();
        ASSERT_TRUE(turn >= 0 && turn <= 359 && turn == std::floor(turn)) << turn;
        const int angle = static_cast<int>(turn);
        angles.insert(angle);
        if (tick % 750 != 0) continue;
        // Every frame starts again from the capture: turns never accumulate.
        for (int i = 0; i < 3; ++i) {
            const auto& monitor = session->Monitors()[i];
            // Three copies of the capture, the session's images before the first tick.
            std::vector<std::uint8_t> expected;
            for (int k = 0; k < 3; ++k)
                expected.insert(expected.end(), pictures[i].begin(), pictures[i].end());
            const Veltrane_B1::RotateBlock block{
                monitor.width, monitor.height, expected.data(), nullptr, 1, 0xFFFFFF, 2};
            // The same centre rule as a single screen of this monitor's size.
            Veltrane_B1::Rotate(block, float(monitor.width / 2), float(monitor.height / 2),
                                angle + 360);
            const auto image2 = expected.begin() + std::ptrdiff_t(pictures[i].size());
            ASSERT_TRUE(std::equal(image2, image2 + std::ptrdiff_t(pictures[i].size()),
                                   monitor.pixels.Image(2)))
                << "monitor " << i << " angle " << angle;
        }
    }
    EXPECT_EQ(angles.size(), 360u);  // every whole degree turns up
}

// The monitors change while the session runs (told between ticks, twice during a tick, or not
// told): each new monitor's images are the set-up's captures at its place (the first listed where
// two overlapped, white where none was), made once per change and shown at once on a Display on
// it. A cursor the system moved off a monitor that went is no input; the user's still ends it.
TEST_F(SessionMonitors, ANewLayoutShowsTheCapturedDesktopAtItsPlaces) {
    FakeHost host;
    const std::vector<Rect> first = {{0, 0, 3, 2}, {2, 1, 4, 4}};  // both at (2, 1)
    std::vector<std::vector<std::uint8_t>> storage;
    const auto pictures = Pictures(host, first, storage);
    host.cursor = {3, 3};
    auto session = Load(host, "/s", {0, 0, 4, 4}, first);
    enum How { kBetweenTicks, kDuringTick, kUntold };
    // The first smaller and the second off (the cursor on it moved onto the first); one larger
    // than all that was captured, around it; that one moved, and a third; told, nothing changed.
    const struct {
        Rect screen;
        std::vector<Rect> monitors;
        How how;
    } changes[] = {{{0, 0, 2, 2}, {{0, 0, 2, 2}}, kBetweenTicks},
                   {{-3, -1, 6, 6}, {{0, 0, 2, 2}, {-3, -1, 6, 6}}, kDuringTick},
                   {{-1, 0, 5, 5}, {{0, 0, 2, 2}, {1, 2, 5, 5}, {-1, 0, 1, 3}}, kUntold},
                   {{-1, 0, 5, 5}, {{0, 0, 2, 2}, {1, 2, 5, 5}, {-1, 0, 1, 3}}, kBetweenTicks}};
    for (const auto& c : changes) {
        SCOPED_TRACE("change " + std::to_string(&c - changes));
        const std::uint64_t made = Veltrane_B1::PixelStack::Allocations();
        const int drawn = host.CountOf("StretchDIBits"), turned = int(session->Monitors().size());
        const std::size_t news = c.monitors == host.monitors ? 0 : c.monitors.size();
        const auto change = [&] {  // told twice during a tick: the step's buffers stay meanwhile
            const std::uint8_t* used = session->PixelStack().Image(1);
            host.virtualScreen = c.screen, host.monitors = c.monitors, host.cursor = {1, 1};
            for (int told = c.how == kUntold ? 0 : 1 + (c.how == kDuringTick); told > 0; --told)
                session->Window().onDisplayChange();
            EXPECT_TRUE(c.how != kDuringTick || session->PixelStack().Image(1) == used);
        };
        host.onDoEvents = [&] {
            if (c.how == kDuringTick && host.monitors != c.monitors) change();
        };
        if (c.how != kDuringTick) change();
        if (c.how != kBetweenTicks) host.timers[0]->Fire();
        host.onDoEvents = nullptr;
        EXPECT_EQ(Veltrane_B1::PixelStack::Allocations() - made, news);
        EXPECT_EQ(host.CountOf("StretchDIBits") - drawn,
                  int(news) + (c.how == kBetweenTicks ? 0 : turned));
        EXPECT_EQ(host.windows[0]->state.bounds, c.screen);
        ASSERT_EQ(session->Monitors().size(), c.monitors.size());
        for (std::size_t i = 0; i < c.monitors.size(); ++i) {
            const Rect& m = c.monitors[i];
            EXPECT_EQ(session->Display(i).Bounds(), InWindow(m, c.screen));
            std::vector<std::uint8_t> expected;  // bottom-up, white where nothing was captured
            for (int y = m.bottom - 1; y >= m.top; --y)
                for (int x = m.left; x < m.right; ++x) {
                    const auto f = std::find_if(first.begin(), first.end(), [&](const Rect& r) {
                        return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                    });
                    const std::uint8_t white[4] = {0xFF, 0xFF, 0xFF, 0}, *pixel = white;
                    if (f != first.end())
                        pixel = &pictures[f - first.begin()][std::size_t(
                            ((f->bottom - 1 - y) * (f->right - f->left) + x - f->left) * 4)];
                    expected.insert(expected.end(), pixel, pixel + 4);
                }
            for (int k : {1, 3})
                EXPECT_TRUE(std::equal(expected.begin(), expected.end(),
                                       session->Monitors()[i].pixels.Image(k)))
                    << i << " image " << k;
        }
        EXPECT_TRUE(!news || host.lastDibBits == session->Monitors().back().pixels.Image(3));
        EXPECT_FALSE(Ends([&] { host.timers[0]->Fire(); }));
    }
    // Two monitors too large to hold: "Error" once, and the session stays quiet.
    host.virtualScreen = {0, 0, 80000, 20000};
    host.monitors = {{0, 0, 40000, 20000}, {40000, 0, 80000, 20000}};
    const int drawn = host.CountOf("StretchDIBits");
    for (int tick = 0; tick < 2; ++tick) host.timers[0]->Fire();
    EXPECT_EQ(host.CountOf("StretchDIBits"), drawn + 3);  // the last turn of the old layout
    EXPECT_EQ(host.CallsNamed("MessageBoxW"),
              std::vector<std::string>{"MessageBoxW(Error, Veltrane, 0)"});
    host.cursor = {0, 0};
    EXPECT_TRUE(Ends([&] { host.timers[0]->Fire(); }));
}

// The pixel stack's sizes and the bitmap header: 32-bit sizes hold every real screen, and sizes
// that cannot be held are refused instead of wrapping.
TEST(PixelStack, SizesAndRefusals) {
    const struct {
        std::int32_t width, height;
        std::uint32_t sizeImage;  // 0: no header, the size does not fit
    } cases[] = {{1024, 768, 3145728}, {1023, 767, 3138564},        {5120, 2880, 58982400},
                 {3, -2, 24},          {23170, 23170, 2147395600u}, {23171, 23171, 0}};
    for (const auto& c : cases) {
        platform::BitmapInfo header;
        ASSERT_EQ(Veltrane_B1::DibHeaderFor(c.width, c.height, header), c.sizeImage != 0);
        if (c.sizeImage == 0) continue;
        EXPECT_EQ(std::vector<std::int64_t>({header.biSizeImage, header.biWidth, header.biHeight,
                                             header.biBitCount, header.biPlanes}),
                  std::vector<std::int64_t>({c.sizeImage, c.width, c.height, 32, 1}));
    }
    Veltrane_B1::PixelStack stack;
    ASSERT_TRUE(stack.Allocate(1024, 768));
    EXPECT_EQ(stack.ImageBytes(), 3145728u);
    EXPECT_EQ(stack.Image(3) - stack.Image(1), 2 * 3145728);
    EXPECT_EQ(stack.Image(4), nullptr);
    for (auto [w, h] : {std::pair{0, 768}, {1024, 0}, {-1, 5}, {2147483647, 2147483647}}) {
        EXPECT_FALSE(stack.Allocate(w, h)) << w;
        EXPECT_FALSE(stack.Allocated());
        EXPECT_EQ(stack.Image(1), nullptr);
    }
}

}  // namespace
