// The session window against the recording fake: set-up values, the tick's mouse test, the exit
// paths with their platform calls in order, and the guards against nested ticks and checks.
#include "session/session_window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "effects/rotate.h"
#include "platform/fake/fake_platform.h"
#include "startup/process_values.h"

namespace {

using platform::fake::FakeHost;
using platform::fake::ProgramEnded;

std::unique_ptr<Veltrane_B::Veltrane_S> Load(FakeHost& host, const char* line,
                                             platform::Rect screen) {
    host.commandLine = line;
    host.virtualScreen = screen;
    host.bitmapRecord = {screen.right - screen.left, screen.bottom - screen.top, 32};
    auto session = std::make_unique<Veltrane_B::Veltrane_S>(host);
    session->Form_Load();
    return session;
}

template <typename F>
bool Ends(F&& f) {
    try {
        f();
    } catch (const ProgramEnded&) {
        return true;
    }
    return false;
}

// The calls that matter on the way out, in order.
std::vector<std::string> ExitCalls(const FakeHost& host) {
    std::vector<std::string> out;
    for (const std::string& call : host.calls) {
        for (const char* name : {"ShowCursor", "VerifyScreenSavePwd", "SystemParametersInfoA",
                                 "Close", "EndProgram", "MessageBoxW"}) {
            if (call.rfind(name, 0) == 0) out.push_back(call);
        }
    }
    return out;
}

TEST(SessionSetUp, CoversTheVirtualScreenAtAnySize) {
    const struct {
        platform::Rect screen;
        int centreX, centreY;
    } cases[] = {{{0, 0, 1024, 768}, 512, 384},
                 {{0, 0, 1023, 767}, 511, 383},
                 {{0, 0, 5120, 2880}, 2560, 1440},  // beyond 16-bit twips
                 {{-800, -100, 800, 600}, 800, 350}};
    for (const auto& c : cases) {
        Veltrane_B::DisplayInterval = 100;
        FakeHost host;
        auto session = Load(host, "/s", c.screen);
        const int w = c.screen.right - c.screen.left, h = c.screen.bottom - c.screen.top;
        EXPECT_EQ(session->ImageWidth(), w);
        EXPECT_EQ(session->ImageHeight(), h);
        EXPECT_EQ(session->Centre().x, c.centreX);
        EXPECT_EQ(session->Centre().y, c.centreY);
        EXPECT_EQ(host.windows[0]->state.bounds, c.screen);
        EXPECT_EQ(host.windows[0]->title, "Veltrane_Main");
        EXPECT_TRUE(host.windows[0]->shown);
        EXPECT_EQ(session->PixelStack().ImageBytes(), std::size_t(w) * h * 4);
        EXPECT_EQ(host.calls.front(), "UsePhysicalPixels");
        const std::string master = std::to_string(host.windows[0]->panels[0]->dc);
        const std::string display = std::to_string(host.windows[0]->panels[1]->dc);
        const std::string size = std::to_string(w) + ", " + std::to_string(h);
        const std::vector<std::string> expected = {
            "BitBlt(" + master + ", 0, 0, " + size + ", 131104, " + std::to_string(c.screen.left) +
                ", " + std::to_string(c.screen.top) + ", 13369376)",
            "GetDIBits(196656, " + std::to_string(host.windows[0]->panels[1]->image) + ", 0, " +
                std::to_string(h) + ", 1)",
            "StretchDIBits(" + display + ", 0, 0, " + size + ", 0, 0, " + size + ", 1, 13369376)",
            "GetCursorPos", "SetWindowPos(4096, -1, 0, 0, 0, 0, 19)"};
        std::vector<std::string> seen;
        for (const auto& call : host.calls)
            for (const char* name :
                 {"BitBlt", "GetDIBits", "StretchDIBits", "GetCursorPos", "SetWindowPos"})
                if (call.rfind(name, 0) == 0) seen.push_back(call);
        EXPECT_EQ(seen, expected);
        EXPECT_EQ(host.lastDibInfo.biHeight, h);  // bottom-up
        EXPECT_TRUE(host.timers[0]->enabled);
        EXPECT_EQ(host.timers[0]->interval, 100);
    }
}

TEST(SessionSetUp, IntervalTheTimerCannotTakeRunsAtTheDefault) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float interval;
        int period;
    } cases[] = {{100, 100},  {1500, 1500}, {1, 1},       {2.5f, 2},    {65535, 65535}, {0, 100},
                 {0.4f, 100}, {-5, 100},    {65536, 100}, {1e30f, 100}, {nan, 100}};
    for (const auto& c : cases) {
        Veltrane_B::DisplayInterval = c.interval;
        FakeHost host;
        auto session = Load(host, "/s", {0, 0, 8, 6});
        EXPECT_EQ(host.timers[0]->interval, c.period) << c.interval;
        EXPECT_TRUE(host.timers[0]->enabled);
    }
    Veltrane_B::DisplayInterval = 100;
}

TEST(SessionCapture, BottomLineFirstAndThreeEqualImages) {
    FakeHost host;
    const int w = 4, h = 3;
    host.dibBits.assign(w * h * 4, 0x55);
    for (int x = 0; x < w; ++x) {
        const int bottom = x * 4, top = (h - 1) * w * 4 + x * 4;
        host.dibBits[bottom] = 0, host.dibBits[bottom + 1] = 0, host.dibBits[bottom + 2] = 255;
        host.dibBits[top] = 255, host.dibBits[top + 1] = 0, host.dibBits[top + 2] = 0;
    }
    auto session = Load(host, "", {0, 0, w, h});
    const auto& stack = session->PixelStack();
    for (int k = 1; k <= 3; ++k)
        EXPECT_TRUE(std::equal(host.dibBits.begin(), host.dibBits.end(), stack.Image(k))) << k;
    EXPECT_EQ(host.lastDibInfo.biSizeImage, 48u);

    // The bitmap is never selected into a context for GetDIBits.
    EXPECT_EQ(host.CountOf("SelectObject"), 0);

    // A bitmap of another width would write rows longer than image 1's: it is not read.
    host.bitmapRecord.bmWidth = w + 8;
    Veltrane_B1::MonitorImage other;
    other.width = w, other.height = h;
    session->ReadBitmapBits(0x777, other);
    EXPECT_EQ(host.CountOf("GetDIBits"), 1);
    EXPECT_EQ(host.CountOf("GetDibSection"), 1);
    const std::uint8_t* image1 = other.pixels.Image(1);
    EXPECT_TRUE(std::all_of(image1, image1 + 48, [](std::uint8_t b) { return b == 0; }));
}

TEST(SessionCapture, UnreadableSizeShowsErrorAndTheSessionStaysQuiet) {
    FakeHost host;
    auto session = Load(host, "", {0, 0, 40000, 20000});  // 3.2 GB per image: beyond 32 bits
    EXPECT_EQ(host.CallsNamed("MessageBoxW"),
              std::vector<std::string>{"MessageBoxW(Error, Veltrane, 0)"});
    EXPECT_FALSE(session->PixelStack().Allocated());
    host.timers[0]->Fire();
    EXPECT_EQ(host.CountOf("StretchDIBits"), 0);
}

TEST(SessionTick, FrameIsImage1TurnedByAWholeAngle) {
    FakeHost host;
    const int w = 63, h = 47;
    for (int i = 0; i < w * h * 4; ++i) host.dibBits.push_back(std::uint8_t(i * 7 + i / 13));
    auto session = Load(host, "", {0, 0, w, h});
    std::vector<std::uint8_t> expected(host.dibBits.size() * 3);
    std::copy(host.dibBits.begin(), host.dibBits.end(), expected.begin());
    std::set<float> angles;
    for (int tick = 0; tick < 3000; ++tick) {
        host.secondsSinceMidnight = 43200 + tick * 0.1;
        host.timers[0]->Fire();
        const float angle = session->RotationAngle();
        ASSERT_TRUE(angle >= 0 && angle <= 359 && angle == std::floor(angle)) << angle;
        angles.insert(angle);
        if (tick % 300 != 0) continue;
        // Every frame starts again from the capture: turns never accumulate.
        const Veltrane_B1::RotateBlock block{w, h, expected.data(), nullptr, 1, 0xFFFFFF, 2};
        Veltrane_B1::Rotate(block, 31.0f, 23.0f, static_cast<int>(angle) + 360);
        const std::uint8_t* frame = session->PixelStack().Image(2);
        for (int i = 0; i < w * h * 4; i += 4)
            ASSERT_TRUE(std::equal(frame + i, frame + i + 3, &expected[w * h * 4 + i])) << angle;
    }
    EXPECT_EQ(angles.size(), 360u);
    EXPECT_EQ(host.CountOf("StretchDIBits"), 3001);
}

TEST(SessionTick, MouseTestNeedsBothAxesAndModeS) {
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
        auto session = Load(host, c.line, {0, 0, 8, 6});
        host.cursor = c.cursor;
        host.getCursorPosResult = c.cursorResult;
        EXPECT_EQ(Ends([&] { host.timers[0]->Fire(); }), c.ends) << c.line << c.cursor.x;
        EXPECT_EQ(host.CountOf("GetCursorPos"), *c.line ? 2 : 1) << c.line;
    }
}

TEST(SessionExit, PlatformCallsInOrder) {
    using Calls = std::vector<std::string>;
    const Calls nt = {"SystemParametersInfoA(97, 0, 0)", "ShowCursor(1)",
                      "SystemParametersInfoA(17, 1, 0)", "EndProgram"};
    const Calls checked = {"ShowCursor(1)", "VerifyScreenSavePwd(4096)",
                           "SystemParametersInfoA(97, 0, 0)", "SystemParametersInfoA(17, 1, 0)",
                           "EndProgram"};
    const Calls refused = {"ShowCursor(1)", "VerifyScreenSavePwd(4096)", "ShowCursor(0)"};
    const Calls empty = {"SystemParametersInfoA(17, 1, 0)", "EndProgram"};
    const struct {
        const char* line;
        std::uint32_t platformId;
        std::int32_t verify;
        Calls calls;
    } cases[] = {{"/s", 2, 1, nt},
                 {"/s", 1, 1, checked},
                 {"/s", 1, 0, refused},
                 {"", 1, 0, empty},
                 {"", 2, 1, empty}};
    for (const auto& c : cases) {
        const std::function<void(Veltrane_B::Veltrane_S&)> triggers[] = {
            [](Veltrane_B::Veltrane_S& s) { s.Window().onKeyDown(16, 1); },  // Shift alone
            [](Veltrane_B::Veltrane_S& s) { s.Window().onMouseDown(2, 0, 5, 5); },
            [](Veltrane_B::Veltrane_S& s) { s.Display().onClick(); },
            [](Veltrane_B::Veltrane_S& s) { s.Display().onMouseDown(2, 0, 5, 5); },
        };
        for (const auto& trigger : triggers) {
            FakeHost host;
            auto session = Load(host, c.line, {0, 0, 8, 6});
            host.platformId = c.platformId;
            host.verifyResult = c.verify;
            host.calls.clear();
            const bool ended = Ends([&] { trigger(*session); });
            EXPECT_EQ(ended, c.verify != 0 || !*c.line) << c.line;
            EXPECT_EQ(ExitCalls(host), c.calls) << c.line << " " << c.platformId;
            EXPECT_EQ(host.timers[0]->enabled, !ended);
            EXPECT_EQ(session->PixelStack().Allocated(), !ended);  // unloaded before the end
        }
    }
    // A left press on Display ends through the click that follows, not twice.
    FakeHost host;
    auto session = Load(host, "/s", {0, 0, 8, 6});
    EXPECT_FALSE(Ends([&] { session->Display().onMouseDown(1, 0, 5, 5); }));
}

TEST(SessionGuards, NoNestedTicksNoSecondPasswordCheck) {
    FakeHost host;
    auto session = Load(host, "/s", {0, 0, 8, 6});
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

TEST(SessionGuards, EveryWayOutInModeSShowsTheCursorOnce) {
    // Drawing fails at set-up, drawing fails in a tick, the window is closed from outside.
    for (int way = 0; way < 3; ++way) {
        for (const char* line : {"/s", ""}) {
            FakeHost host;
            host.stretchDIBitsResult = way == 0 ? 0 : 1;
            std::unique_ptr<Veltrane_B::Veltrane_S> session;
            bool ended = Ends([&] { session = Load(host, line, {0, 0, 8, 6}); });
            if (way == 1) {
                host.stretchDIBitsResult = 0;
                ended = Ends([&] { host.timers[0]->Fire(); });
            } else if (way == 2) {
                host.windows[0]->Close();
                host.timers[0]->Fire();
            }
            EXPECT_EQ(ended, way < 2);
            EXPECT_EQ(host.CountOf("ShowCursor(1)"), *line ? 1 : 0) << way << line;
            if (way < 2) {
                EXPECT_EQ(host.CallsNamed("MessageBoxW"),
                          std::vector<std::string>{"MessageBoxW(Blit Error, Veltrane, 0)"});
            }
            EXPECT_EQ(host.CountOf("StretchDIBits"), way == 1 ? 2 : 1);
        }
    }
}

}  // namespace
