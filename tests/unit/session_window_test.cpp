// The session window against the recording fake: timer, ways out, nesting, monitors and layouts.
#include "session/session_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "unit/process_values_guard.h"

namespace {

using Session = ProcessValuesTest;  // set-up stores platform results in the process values
using Picture = std::vector<std::uint8_t>;
using platform::Rect;
using platform::fake::CallText;
using platform::fake::FakeHost;

// Loads a session on `screen`, made of `monitors` when any are listed.
std::unique_ptr<Veltrane_B::Veltrane_S> Load(FakeHost& host, const char* line,
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

bool Ends(const std::function<void()>& f) {
    try {
        f();
    } catch (const platform::fake::ProgramEnded&) {
        return true;
    }
    return false;
}

TEST_F(Session, AnIntervalTheTimerCannotTakeRunsAtTheDefault) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::pair<float, int> cases[] = {{100, 100},     {1500, 1500}, {1, 1},      {2.5f, 2},
                                           {65535, 65535}, {0, 100},     {0.4f, 100}, {-5, 100},
                                           {65536, 100},   {1e30f, 100}, {nan, 100}};
    for (const auto& [interval, period] : cases) {
        Veltrane_B::DisplayInterval = interval;
        FakeHost host;
        auto session = Load(host, "/s");
        EXPECT_EQ(std::make_pair(host.timers[0]->interval, host.timers[0]->enabled),
                  std::make_pair(period, true))
            << interval;
    }
}

// The calls that matter on the way out, in order, the session window's password check as "check".
std::string ExitCalls(const FakeHost& host, platform::Handle window) {
    std::string out;
    for (const std::string& call : host.calls)
        for (const char* name : {"ShowCursor", "VerifyScreenSavePwd", "SystemParametersInfoA",
                                 "Close", "EndProgram", "MessageBoxW"})
            if (call.starts_with(name))
                out += (call == CallText("VerifyScreenSavePwd", window) ? "check" : call) + "; ";
    return out;
}

// k key, m press on the window, c click, r right and l left press on Display 2; ticks: cursor moved
// on both axes (t), x or y only, unread (u), drawing fails (f); o the window closed outside.
void Input(Veltrane_B::Veltrane_S& session, FakeHost& host, char input) {
    if (input == 'k') session.Window().onKeyDown(16, 1);
    if (input == 'm') session.Window().onMouseDown(2, 0, 5, 5);
    if (input == 'c') session.Display(1).onClick();
    if (input == 'r') session.Display(1).onMouseDown(2, 0, 5, 5);
    if (input == 'l') session.Display(1).onMouseDown(1, 0, 5, 5);  // ends through the click
    if (input == 'o') host.windows[0]->Close();
    if (std::string("txyufo").find(input) != std::string::npos) host.timers[0]->Fire();
}

// Whether an input ends the session, through which calls, its timer and pixels gone with it.
TEST_F(Session, EveryWayOutGoesThroughTheSameCalls) {
    const std::string cursor = "ShowCursor(1); ", check = "check; ",
                      stopped = "SystemParametersInfoA(97, 0, 0); ",
                      active = "SystemParametersInfoA(17, 1, 0); EndProgram; ",
                      blit = "MessageBoxW(Blit Error, Veltrane, 0); EndProgram; ";
    const struct {
        const char* line;
        std::uint32_t platformId;
        std::int32_t verify;  // the password check's answer
        const char* inputs;   // each one on a session of its own
        std::string calls;
    } cases[] = {{"/s", 2, 1, "kmcrt", stopped + cursor + active},
                 {"/s", 1, 1, "kmcrt", cursor + check + stopped + active},
                 {"/s", 1, 0, "kmcrt", cursor + check + "ShowCursor(0); "},
                 {"", 1, 0, "kmcr", active},
                 {"", 2, 1, "kmcr", active},
                 {"/S extra", 2, 1, "t", stopped + cursor + active},
                 {"/s", 2, 1, "lxyu", ""},
                 {"", 2, 1, "lt", ""},
                 {"/s", 2, 1, "f", cursor + blit},
                 {"", 2, 1, "f", blit},
                 {"/s", 2, 1, "o", cursor + "Close(Veltrane_Main); "},
                 {"", 2, 1, "o", "Close(Veltrane_Main); "}};
    for (const auto& [line, platformId, verify, inputs, calls] : cases) {
        for (const char* input = inputs; *input; ++input) {
            SCOPED_TRACE(std::string(line) + " " + std::to_string(platformId) + " " + *input);
            FakeHost host;
            auto session = Load(host, line, {0, 0, 16, 6}, {{0, 0, 8, 6}, {8, 0, 16, 6}});
            host.platformId = platformId;
            host.verifyResult = verify;
            host.calls.clear();
            host.cursor = {*input == 'y' ? 100 : 150, *input == 'x' ? 100 : 130};  // from 100, 100
            host.getCursorPosResult = *input != 'u';
            host.stretchDIBitsResult = *input != 'f';
            const bool ended = Ends([&] { Input(*session, host, *input); });
            EXPECT_EQ(ExitCalls(host, session->Window().hWnd()), calls);
            EXPECT_EQ(ended, calls.find("EndProgram") != std::string::npos);
            const bool ticked = std::string("txyu").find(*input) != std::string::npos;
            EXPECT_EQ(host.CountOf("GetCursorPos"), ticked && *line ? 1 : 0);
            EXPECT_EQ(host.CountOf("StretchDIBits"), ticked ? 2 : *input == 'f');
            EXPECT_EQ(host.timers[0]->enabled, !ended && *input != 'o');
            EXPECT_EQ(session->Monitors()[1].pixels.Allocated(), !ended && *input != 'o');
        }
    }
    // Drawing fails at set-up: the same, inside Load, before there is a session to hold pixels.
    FakeHost host;
    host.stretchDIBitsResult = 0;
    EXPECT_TRUE(Ends([&] { Load(host, "/s"); }));
    EXPECT_EQ(ExitCalls(host, 0), cursor + blit);
    EXPECT_EQ(host.CountOf("StretchDIBits"), 1);
}

TEST_F(Session, NoNestedTicksNoSecondPasswordCheck) {
    FakeHost host;
    auto session = Load(host, "/s");
    host.platformId = 1;
    host.verifyResult = 0;
    int nested = 0;  // ticks delivered while a tick runs its messages
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

TEST_F(Session, EachMonitorIsCopiedPlacedAndCentredOnItsOwn) {
    const struct {
        Rect screen;
        std::vector<Rect> listed, kept = {};  // kept (in order) when not all listed are
    } cases[] = {
        {{-801, -601, 2000, 900}, {{0, 0, 1023, 767}, {-801, -601, 0, 0}, {1200, 100, 2000, 900}}},
        // Repeats and empty rectangles dropped; none listed: the virtual screen, beyond 16 bits.
        {{0, 0, 800, 600}, {{0, 0, 800, 600}, {0, 0, 800, 600}, {5, 5, 5, 9}}, {{0, 0, 800, 600}}},
        {{-10, -20, 5110, 2860}, {}, {{-10, -20, 5110, 2860}}},
    };
    for (const auto& [screen, listed, kept] : cases) {
        SCOPED_TRACE(testing::PrintToString(listed));
        FakeHost host;
        auto session = Load(host, "/s", screen, listed);
        const std::vector<Rect>& shown = kept.empty() ? listed : kept;
        EXPECT_EQ(host.calls.front(), "UsePhysicalPixels");
        EXPECT_EQ(host.windows[0]->state.bounds, screen);
        EXPECT_EQ(
            host.CallsNamed("SetWindowPos"),  // topmost, neither moved, sized nor activated
            std::vector{CallText("SetWindowPos", host.windows[0]->hWnd(), -1, 0, 0, 0, 0, 19)});
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
            EXPECT_EQ(panels[i + 1]->state.bounds, InWindow(m, screen)) << i;
            blits.push_back(CallText("BitBlt", panels[0]->dc, 0, 0, w, h, FakeHost::kScreenDc,
                                     m.left, m.top, platform::kSrcCopy));
            draws.push_back(CallText("StretchDIBits", panels[i + 1]->dc, 0, 0, w, h, 0, 0, w, h,
                                     platform::kDibPalColors, platform::kSrcCopy));
        }
        EXPECT_EQ(host.CallsNamed("BitBlt"), blits);
        EXPECT_EQ(host.CallsNamed("StretchDIBits"), draws);
        EXPECT_EQ(host.CountOf("ReleaseDC"), 1);
        EXPECT_EQ(panels[0]->state.bounds, (Rect{0, 0, 1, 1}));  // the capture surface gave back
        // One tick lets the messages run once after every monitor's frame, once for the tick.
        const int eventsBefore = host.doEventsCount;
        host.timers[0]->Fire();
        EXPECT_EQ(host.doEventsCount - eventsBefore, 2);
    }
}

// Random pictures, bottom-up, and as DIB sections for the host: top-down but the second, padded.
std::vector<Picture> Pictures(FakeHost& host, const std::vector<Rect>& monitors,
                              std::vector<Picture>& storage) {
    std::vector<Picture> pictures;
    std::mt19937 rng(5);
    storage.resize(monitors.size());
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const int w = monitors[i].right - monitors[i].left,
                  h = monitors[i].bottom - monitors[i].top, stride = w * 4 + 4 * int(i);
        const bool topDown = i != 1;
        Picture& picture = pictures.emplace_back(std::size_t(w) * h * 4);
        for (auto& b : picture) b = static_cast<std::uint8_t>(rng());
        storage[i].assign(std::size_t(stride) * h, 0xEE);
        for (int y = 0; y < h; ++y)  // y from the bottom of the picture
            std::copy_n(&picture[std::size_t(y) * w * 4], w * 4,
                        &storage[i][std::size_t(topDown ? h - 1 - y : y) * stride]);
        host.dibSections.push_back({w, topDown ? -h : h, stride, 32, storage[i].data()});
    }
    return pictures;
}

// Each monitor's capture (two DIB sections, one through GetDIBits) turned about its own centre.
TEST_F(Session, EachMonitorsOwnPixelsTurnedByTheOneAngle) {
    FakeHost host;
    const std::vector<Rect> monitors = {{0, 0, 60, 31}, {-37, -20, -8, 3}, {1, -20, 20, -3}};
    std::vector<Picture> storage;
    const auto pictures = Pictures(host, monitors, storage);
    host.dibSections.pop_back();
    host.dibBits = pictures[2];
    auto session = Load(host, "", {-37, -20, 60, 31}, monitors);
    EXPECT_EQ(std::vector<std::int64_t>({host.CountOf("GetDIBits"), host.lastDibInfo.biSizeImage,
                                         host.lastDibInfo.biHeight, host.CountOf("SelectObject")}),
              std::vector<std::int64_t>({1, 19 * 17 * 4, 17, 0}));
    for (int i = 0; i < 3; ++i)
        for (int k = 1; k <= 3; ++k) {
            const std::uint8_t* image = session->Monitors()[i].pixels.Image(k);
            EXPECT_EQ(Picture(image, image + pictures[i].size()), pictures[i]) << i << " " << k;
        }
    std::set<int> angles;
    for (int tick = 0; tick < 3000; ++tick) {
        host.secondsSinceMidnight = 1000 + tick * 0.37;
        host.timers[0]->Fire();
        const float turn = session->RotationAngle();
        ASSERT_TRUE(turn >= 0 && turn <= 359 && turn == std::floor(turn)) << turn;
        angles.insert(static_cast<int>(turn));
        for (int i = 0; i < 3 && turn == 180; ++i) {  // from the mirror about its own centre
            const auto& m = session->Monitors()[i];
            const auto at = [&](int x, int y) {
                return std::size_t(((m.height - 1 - y) * m.width + x) * 4);
            };
            Picture expected = pictures[i];     // byte 3 is never written
            for (int y = 0; y < m.height; ++y)  // from the top
                for (int x = 0; x < m.width; ++x) {
                    const int sx = m.width / 2 * 2 - 2 - x, sy = m.height / 2 * 2 - y;
                    const bool in = sx >= 0 && sx < m.width && sy >= 0 && sy < m.height;
                    for (int b = 0; b < 3; ++b)
                        expected[at(x, y) + b] = in ? pictures[i][at(sx, sy) + b] : 0xFF;
                }
            ASSERT_TRUE(std::equal(expected.begin(), expected.end(), m.pixels.Image(2))) << i;
        }
    }
    EXPECT_EQ(angles.size(), 360u);  // every whole degree turns up
    // A bitmap of another width would write rows longer than the image's: it is not read.
    host.dibBits.resize(48);
    host.bitmapRecord.bmWidth = 12;
    Veltrane_B1::MonitorImage other;
    other.width = 4, other.height = 3;
    session->ReadBitmapBits(0x777, other);
    EXPECT_EQ(Picture(other.pixels.Image(1), other.pixels.Image(1) + 48), Picture(48, 0));
}

// New monitors show the set-up's captures in place (of two overlapping the first, else white),
// made once per change; the system moving the cursor off a lost monitor is no input.
TEST_F(Session, ANewLayoutShowsTheCapturedDesktopAtItsPlaces) {
    FakeHost host;
    const std::vector<Rect> first = {{0, 0, 3, 2}, {2, 1, 4, 4}};  // both at (2, 1)
    std::vector<Picture> storage;
    const auto pictures = Pictures(host, first, storage);
    host.cursor = {3, 3};
    auto session = Load(host, "/s", {0, 0, 4, 4}, first);
    enum How { kBetweenTicks, kDuringTick, kUntold };
    // Smaller, the one under the cursor gone; larger than all captured; moved and a third; same.
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
            Picture expected;  // bottom-up, white where nothing was captured
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

// 32-bit header sizes hold every real screen; sizes that cannot be held are refused, not wrapped.
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
