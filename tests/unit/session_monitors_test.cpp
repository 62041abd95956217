// The session on several monitors against the recording fake: each monitor copied from its own
// place on the screen, shown at its own place in the window and turned about its own centre by the
// tick's one angle, read from its panel's own pixels (top-down or bottom-up).
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "effects/rotate.h"
#include "unit/session_load.h"

namespace {

using namespace veltrane_test;

std::string Text(std::int64_t a, std::int64_t b) {
    return std::to_string(a) + ", " + std::to_string(b);
}

TEST(SessionMonitors, EachMonitorIsCopiedPlacedAndCentredOnItsOwn) {
    const struct {
        const char* arrangement;
        Rect screen;
        std::vector<Rect> listed;
        std::vector<Rect> shown;  // the monitors the session keeps, in order
    } cases[] = {
        {"side by side", {0, 0, 2048, 768}, {{0, 0, 1024, 768}, {1024, 0, 2048, 768}}, {}},
        {"left of and below the primary, negative origin",
         {-640, 0, 1024, 768},
         {{0, 0, 1024, 768}, {-640, 200, 0, 680}},
         {}},
        {"three sizes with gaps, one above the primary",
         {-801, -601, 2000, 900},
         {{0, 0, 1023, 767}, {-801, -601, 0, 0}, {1200, 100, 2000, 900}},
         {}},
        {"repeats and empty rectangles dropped",
         {0, 0, 800, 600},
         {{0, 0, 800, 600}, {0, 0, 800, 600}, {5, 5, 5, 9}},
         {{0, 0, 800, 600}}},
        {"none listed: the virtual screen, beyond 16-bit twips",
         {-10, -20, 5110, 2860},
         {},
         {{-10, -20, 5110, 2860}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arrangement);
        FakeHost host;
        auto loaded = Load(host, "/s", c.screen, c.listed);
        auto& session = *loaded;
        const std::vector<Rect>& shown = c.shown.empty() ? c.listed : c.shown;

        EXPECT_EQ(host.calls.front(), "UsePhysicalPixels");
        EXPECT_EQ(host.windows[0]->state.bounds, c.screen);
        const std::string topmost =  // HWND_TOPMOST, neither moved nor sized nor activated
            "SetWindowPos(" + std::to_string(host.windows[0]->hWnd()) + ", -1, 0, 0, 0, 0, 19)";
        EXPECT_EQ(host.CallsNamed("SetWindowPos"), std::vector<std::string>{topmost});
        ASSERT_EQ(session.Monitors().size(), shown.size());
        const auto& panels = host.windows[0]->panels;  // Master, then one Display per monitor
        ASSERT_EQ(panels.size(), shown.size() + 1);
        std::vector<std::string> blits, draws;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const Rect& m = shown[i];
            const int w = m.right - m.left, h = m.bottom - m.top;
            const auto& monitor = session.Monitors()[i];
            EXPECT_EQ(std::vector<std::int64_t>({monitor.width, monitor.height, monitor.centre.x,
                                                 monitor.centre.y,
                                                 std::int64_t(monitor.pixels.ImageBytes())}),
                      std::vector<std::int64_t>({w, h, w / 2, h / 2, std::int64_t(w) * h * 4}));
            // At the monitor's place in the window, whose origin is the virtual screen's.
            const Rect place{m.left - c.screen.left, m.top - c.screen.top, m.right - c.screen.left,
                             m.bottom - c.screen.top};
            EXPECT_EQ(panels[i + 1]->state.bounds, place) << i;
            blits.push_back("BitBlt(" + std::to_string(panels[0]->dc) + ", 0, 0, " + Text(w, h) +
                            ", 131104, " + Text(m.left, m.top) + ", 13369376)");
            draws.push_back("StretchDIBits(" + std::to_string(panels[i + 1]->dc) + ", 0, 0, " +
                            Text(w, h) + ", 0, 0, " + Text(w, h) + ", 1, 13369376)");
        }
        EXPECT_EQ(host.CallsNamed("BitBlt"), blits);
        EXPECT_EQ(host.CallsNamed("StretchDIBits"), draws);
        EXPECT_EQ(host.CountOf("ReleaseDC"), 1);
        // The capture surface gave its memory back once the copies were in the Displays.
        EXPECT_EQ(panels[0]->state.bounds, (Rect{0, 0, 1, 1}));

        // One tick: one frame per monitor, then the messages once.
        host.calls.clear();
        const int eventsBefore = host.doEventsCount;
        host.timers[0]->Fire();
        EXPECT_EQ(host.CountOf("StretchDIBits"), static_cast<int>(shown.size()));
        EXPECT_EQ(host.doEventsCount - eventsBefore, 2);  // the step's and the tick's
        // Input on any monitor's Display ends the session and gives every monitor's pixels back.
        EXPECT_TRUE(Ends([&] { session.Display(shown.size() - 1).onClick(); }));
        EXPECT_FALSE(session.Monitors()[0].pixels.Allocated());
    }
}

// A picture of `w` x `h` pixels stored as a DIB section's rows: top-down (negative height) or
// bottom-up, with `pad` spare bytes after each row. Returns the same picture bottom-up, packed.
std::vector<std::uint8_t> Section(int w, int h, bool topDown, int pad, int seed,
                                  std::vector<std::uint8_t>& storage,
                                  platform::DibSection& section) {
    const int stride = w * 4 + pad;
    storage.assign(std::size_t(stride) * h, 0xEE);
    std::vector<std::uint8_t> bottomUp(std::size_t(w) * h * 4);
    for (int y = 0; y < h; ++y) {  // y from the bottom of the picture
        const int row = topDown ? h - 1 - y : y;
        for (int x = 0; x < w * 4; ++x) {
            const auto value = static_cast<std::uint8_t>(seed * 31 + y * 7 + x * 13 + x * y);
            storage[std::size_t(row) * stride + x] = value;
            bottomUp[std::size_t(y) * w * 4 + x] = value;
        }
    }
    section = {w, topDown ? -h : h, stride, 32, storage.data()};
    return bottomUp;
}

TEST(SessionMonitors, FramesAreEachMonitorsOwnPixelsTurnedByTheOneAngle) {
    FakeHost host;
    const std::vector<Rect> monitors = {{0, 0, 60, 31}, {-37, -20, -8, 3}, {1, -20, 20, -3}};
    const bool topDown[] = {true, false, true};
    const int pads[] = {0, 8, 4};
    std::vector<std::uint8_t> storage[3];
    std::vector<std::vector<std::uint8_t>> pictures;
    for (int i = 0; i < 3; ++i) {
        const Rect& m = monitors[i];
        host.dibSections.emplace_back();
        pictures.push_back(Section(m.right - m.left, m.bottom - m.top, topDown[i], pads[i], i,
                                   storage[i], host.dibSections.back()));
    }
    auto loaded = Load(host, "", {-37, -20, 60, 31}, monitors);
    auto& session = *loaded;
    // Read from the sections' own bits: nothing is selected, GetDIBits is never called.
    EXPECT_EQ(host.CountOf("GetDIBits") + host.CountOf("SelectObject"), 0);
    for (int i = 0; i < 3; ++i) {
        const auto& stack = session.Monitors()[i].pixels;
        for (int k = 1; k <= 3; ++k)
            EXPECT_TRUE(std::equal(pictures[i].begin(), pictures[i].end(), stack.Image(k)))
                << i << " image " << k;
    }
    std::set<int> angles;
    for (int tick = 0; tick < 3000; ++tick) {
        host.secondsSinceMidnight = 1000 + tick * 0.37;
        host.timers[0]->Fire();
        const float turn = session.RotationAngle();
        ASSERT_TRUE(turn >= 0 && turn <= 359 && turn == std::floor(turn)) << turn;
        const int angle = static_cast<int>(turn);
        angles.insert(angle);
        if (tick % 750 != 0) continue;
        // Every frame starts again from the capture: turns never accumulate.
        for (int i = 0; i < 3; ++i) {
            const auto& monitor = session.Monitors()[i];
            std::vector<std::uint8_t> expected(pictures[i].size() * 3);
            std::copy(pictures[i].begin(), pictures[i].end(), expected.begin());
            const Veltrane_B1::RotateBlock block{
                monitor.width, monitor.height, expected.data(), nullptr, 1, 0xFFFFFF, 2};
            // The same centre rule as a single screen of this monitor's size.
            Veltrane_B1::Rotate(block, float(monitor.width / 2), float(monitor.height / 2),
                                angle + 360);
            const std::uint8_t* frame = monitor.pixels.Image(2);
            const std::size_t bytes = pictures[i].size();
            for (std::size_t b = 0; b < bytes; b += 4)
                ASSERT_TRUE(std::equal(frame + b, frame + b + 3, &expected[bytes + b]))
                    << "monitor " << i << " angle " << angle;
        }
    }
    EXPECT_EQ(angles.size(), 360u);  // every whole degree turns up
}

// Two monitors too large to hold: "Error" once, and the session stays quiet.
TEST(SessionMonitors, ReadErrorIsSaidOncePerSession) {
    FakeHost host;
    auto session =
        Load(host, "", {0, 0, 80000, 20000}, {{0, 0, 40000, 20000}, {40000, 0, 80000, 20000}});
    EXPECT_EQ(host.CallsNamed("MessageBoxW"),
              std::vector<std::string>{"MessageBoxW(Error, Veltrane, 0)"});
    host.timers[0]->Fire();
    EXPECT_EQ(host.CountOf("StretchDIBits"), 0);
}

}  // namespace
