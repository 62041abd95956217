// The toolkit contract: what the windows, the dialog and the button rely on of every host.
#include "contract/toolkit_contract.h"

#include <optional>
#include <string>

namespace veltrane_test {
namespace {

using platform::Point;
using platform::ScrollCode;

TEST_F(ToolkitContract, TimerTakesZeroTo65535AndTicksOnlyWhenEnabledWithAnInterval) {
    const struct {
        bool enabled;
        std::int64_t set;
        bool accepted;
        std::int32_t interval;  // after the call; every timer starts at 20
        bool ticks;
    } rows[] = {
        {true, -1, false, 20, true},        {true, 65536, false, 20, true},
        {false, 65535, true, 65535, false}, {true, 0, true, 0, false},
        {false, 15, true, 15, false},       {true, 15, true, 15, true},
        {true, 20, true, 20, true},
    };
    for (const auto& r : rows) {
        std::unique_ptr<platform::Timer> timer = driver->Host().CreateTimer();
        int fired = 0;
        timer->onTick = [&] { ++fired; };
        ASSERT_TRUE(timer->SetInterval(20));
        timer->SetEnabled(r.enabled);
        const bool took = timer->SetInterval(r.set);
        driver->Wait();
        SCOPED_TRACE(testing::Message() << r.set << (r.enabled ? " enabled" : " disabled"));
        EXPECT_EQ(took, r.accepted);
        EXPECT_EQ(timer->Interval(), r.interval);
        EXPECT_EQ(fired > 0, r.ticks);
    }
}

TEST_F(ToolkitContract, ScrollBarMovesWithinItsRangeAndNotifiesEachMoveOnce) {
    auto window = driver->Host().CreateTopLevelWindow(platform::WindowKind::FixedDialog);
    std::unique_ptr<platform::ScrollBar> bar = window->CreateScrollBar(nullptr);
    bar->Move(0, 0, 200, 17);
    int changes = 0, scrolls = 0;
    bar->onChange = [&] { ++changes; };
    bar->onScroll = [&] { ++scrolls; };
    bar->SetRange(1, 100);
    bar->SetSteps(5, 20);
    using enum ScrollCode;
    const struct {
        std::int32_t from;
        ScrollCode move;
        std::int32_t to;
        int changes, scrolls;  // notifications
    } rows[] = {
        {50, LineLeft, 45, 1, 0},   {50, LineRight, 55, 1, 0},     {50, PageLeft, 30, 1, 0},
        {50, PageRight, 70, 1, 0},  {3, LineLeft, 1, 1, 0},        {1, PageLeft, 1, 0, 0},
        {90, PageRight, 100, 1, 0}, {50, Left, 1, 1, 0},           {50, Right, 100, 1, 0},
        {50, ThumbTrack, 50, 0, 1}, {50, ThumbPosition, 50, 0, 0}, {50, EndScroll, 50, 0, 0},
    };
    for (const auto& r : rows) {
        ASSERT_TRUE(bar->SetValue(r.from));
        changes = scrolls = 0;
        driver->Scroll(*bar, r.move);
        SCOPED_TRACE(testing::Message()
                     << "code " << static_cast<int>(r.move) << " from " << r.from);
        EXPECT_EQ(bar->Value(), r.to);
        EXPECT_EQ(changes, r.changes);
        EXPECT_EQ(scrolls, r.scrolls);
    }

    // Values refused outside the range, notified when changed; a range change moves them quietly.
    ASSERT_TRUE(bar->SetValue(50));
    changes = scrolls = 0;
    EXPECT_FALSE(bar->SetValue(0) || bar->SetValue(101));
    EXPECT_TRUE(bar->SetValue(50) && bar->SetValue(100));
    bar->SetRange(1, 10);
    EXPECT_EQ(bar->Value(), 10);
    bar->SetRange(30, 20);
    EXPECT_EQ(bar->Value(), 30);
    EXPECT_FALSE(bar->SetValue(25));
    EXPECT_EQ(std::make_pair(changes, scrolls), std::make_pair(1, 0));  // 50 to 100 alone
}

TEST_F(ToolkitContract, PressAndReleaseAtTheSamePlaceClickAndUnloadRunsOnce) {
    auto window = driver->Host().CreateTopLevelWindow(platform::WindowKind::FixedDialog);
    EXPECT_EQ(window->CreateLabel(nullptr), nullptr) << "a label with no panel never shows";
    auto panel = window->CreatePicturePanel(nullptr, platform::BorderStyle::None);
    panel->Move(0, 0, 100, 60);
    std::unique_ptr<platform::Label> label = window->CreateLabel(panel.get());
    ASSERT_NE(label, nullptr);
    label->Move(10, 10, 40, 20);
    std::string seen;  // P/L: click of the panel or the label; p/l: who got a release
    panel->onClick = [&] { seen += 'P'; };
    label->onClick = [&] { seen += 'L'; };
    panel->onMouseUp = [&](int, int, int, int) { seen += 'p'; };
    label->onMouseUp = [&](int, int, int, int) { seen += 'l'; };

    constexpr int L = platform::kLeftButton, R = platform::kRightButton;
    const Point onPanel{70, 40}, onLabel{20, 15}, outside{150, 40};
    const struct {
        const char* what;
        bool labelVisible;
        int button;
        std::optional<Point> down;  // nothing: a release alone
        Point up;
        const char* seen;
    } rows[] = {
        {"panel", true, L, onPanel, {72, 41}, "pP"},
        {"label", true, L, onLabel, {30, 25}, "lL"},
        {"label, released on the panel", true, L, onLabel, onPanel, "l"},
        {"panel, released on the label", true, L, onPanel, onLabel, "p"},
        {"released outside", true, L, onPanel, outside, "p"},
        {"right button", true, R, onPanel, onPanel, "p"},
        {"release alone", true, L, std::nullopt, onPanel, "p"},
        {"hidden label", false, L, onLabel, onLabel, "pP"},
    };
    for (const auto& r : rows) {
        label->SetVisible(r.labelVisible);
        seen.clear();
        if (r.down) driver->Mouse(*panel, r.button, *r.down, true);
        driver->Mouse(*panel, r.button, r.up, false);
        EXPECT_EQ(seen, r.seen) << r.what;
    }

    // Unload runs once however the window is closed, even by a handler that closes again.
    int unloads = 0;
    window->onUnload = [&] {
        ++unloads;
        window->Close();
    };
    driver->CloseBox(*window);
    window->Close();
    driver->CloseBox(*window);
    EXPECT_EQ(unloads, 1);
}

}  // namespace
}  // namespace veltrane_test
