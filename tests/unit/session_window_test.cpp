// The session window against the recording fake: the timer's interval, the capture through
// GetDIBits, the tick's mouse test, the exit paths with their platform calls in order, and the
// guards against nested ticks and checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

#include "startup/process_values.h"
#include "unit/session_load.h"

namespace {

using namespace veltrane_test;

TEST(SessionSetUp, IntervalTheTimerCannotTakeRunsAtTheDefault) {
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
    Veltrane_B::DisplayInterval = 100;
}

// A bitmap that is no DIB section goes through GetDIBits, bottom line first, into three images.
TEST(SessionCapture, GetDIBitsFillsThreeEqualImages) {
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
    EXPECT_EQ(host.CountOf("GetDIBits"), 1);
    EXPECT_EQ(host.CountOf("GetDibSection"), 1);
    const std::uint8_t* image1 = other.pixels.Image(1);
    EXPECT_TRUE(std::all_of(image1, image1 + 48, [](std::uint8_t b) { return b == 0; }));
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

TEST(SessionExit, EveryInputEndsThroughTheSameCalls) {
    const std::string cursor = "ShowCursor(1); ", check = "VerifyScreenSavePwd(4096); ",
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
            EXPECT_EQ(ExitCalls(host), c.calls) << c.line << " " << c.platformId;
            EXPECT_EQ(host.timers[0]->enabled, !ended);
            EXPECT_EQ(session->PixelStack().Allocated(), !ended);  // unloaded before the end
        }
    }
    // A left press on Display ends through the click that follows, not twice.
    FakeHost host;
    auto session = Load(host, "/s");
    EXPECT_FALSE(Ends([&] { session->Display().onMouseDown(1, 0, 5, 5); }));
}

TEST(SessionGuards, NoNestedTicksNoSecondPasswordCheck) {
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
TEST(SessionGuards, EveryWayOutShowsTheCursorOnce) {
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
            EXPECT_TRUE(!session || !session->Monitors()[1].pixels.Allocated());
        }
    }
}

}  // namespace
