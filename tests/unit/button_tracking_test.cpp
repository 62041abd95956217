#include <gtest/gtest.h>

#include <optional>

#include "controls/command_tracking.h"

namespace {

using namespace Veltrane::Controls;
using P = SkinPicture;

enum class Event { Move, LeftDown, RightDown, LeftUp, RightUp, Focus, Blur, TickAway, TickOver };
constexpr WindowId kOwn = 0x20, kParent = 0x10, kOther = 0x99;

// Brings a fresh, enabled button into `state` through its own notifications.
CommandStateMachine Arrange(int state, bool mouseIsDown) {
    CommandStateMachine m;
    m.SetEnabledFlag(true);
    if (state >= 1) m.Initialize();
    if (state == 3 || state == 4) m.GotFocus();
    if (state == 2 || state == 4) m.MouseMove();
    if (mouseIsDown) m.MouseDown(LeftButton);
    return m;
}

TrackingResult Send(CommandStateMachine& m, Event e) {
    switch (e) {
        case Event::Move:
            return m.MouseMove();
        case Event::LeftDown:
            return m.MouseDown(LeftButton);
        case Event::RightDown:
            return m.MouseDown(2);
        case Event::LeftUp:
            return m.MouseUp(LeftButton);
        case Event::RightUp:
            return m.MouseUp(2);
        case Event::Focus:
            return m.GotFocus();
        case Event::Blur:
            return m.LostFocus();
        case Event::TickAway:
            return m.TimerTick(kOther, kOwn, kParent);
        case Event::TickOver:
            return m.TimerTick(kOwn, kOwn, kParent);
    }
    return {};
}

struct Row {
    int from;
    bool down;
    Event event;
    int to;
    std::optional<P> paint;
    bool click;
    bool downAfter;
};

TEST(ButtonTracking, EveryTransition) {
    const std::optional<P> none;
    const Row rows[] = {
        // mouse move
        {0, false, Event::Move, 0, none, false, false},
        {1, false, Event::Move, 2, P::HighLight, false, false},
        {2, false, Event::Move, 2, none, false, false},
        {3, false, Event::Move, 4, P::HighLightSelect, false, false},
        {3, true, Event::Move, 3, none, false, true},
        {4, false, Event::Move, 4, none, false, false},
        // left button down: always Pressed, state kept; other buttons nothing
        {0, false, Event::LeftDown, 0, P::Pressed, false, true},
        {2, false, Event::LeftDown, 2, P::Pressed, false, true},
        {3, false, Event::LeftDown, 3, P::Pressed, false, true},
        {4, false, Event::RightDown, 4, none, false, false},
        // left button up
        {0, true, Event::LeftUp, 0, none, true, false},
        {1, true, Event::LeftUp, 1, none, true, false},
        {2, true, Event::LeftUp, 2, P::Normal, true, false},
        {3, true, Event::LeftUp, 3, none, false, false},
        {4, true, Event::LeftUp, 4, P::HighLightSelect, true, false},
        // other buttons' release: Click but for state 3, no paint, MouseIsDown untouched
        {2, true, Event::RightUp, 2, none, true, true},
        {4, false, Event::RightUp, 4, none, true, false},
        {3, true, Event::RightUp, 3, none, false, true},
        // focus gained / lost
        {0, false, Event::Focus, 3, P::Selected, false, false},
        {1, false, Event::Focus, 3, P::Selected, false, false},
        {2, false, Event::Focus, 4, P::Pressed, false, false},
        {3, false, Event::Focus, 3, P::Selected, false, false},
        {4, false, Event::Focus, 3, P::Selected, false, false},
        {0, false, Event::Blur, 1, P::Normal, false, false},
        {1, false, Event::Blur, 1, none, false, false},
        {2, false, Event::Blur, 1, P::Normal, false, false},
        {4, true, Event::Blur, 1, P::Normal, false, true},
        // hover poll
        {2, false, Event::TickAway, 1, P::Normal, false, false},
        {4, true, Event::TickAway, 3, P::Selected, false, true},
        {0, false, Event::TickAway, 0, none, false, false},
        {1, false, Event::TickAway, 1, none, false, false},
        {3, false, Event::TickAway, 3, none, false, false},
        {2, false, Event::TickOver, 2, none, false, false},
        {4, false, Event::TickOver, 4, none, false, false},
    };
    for (const Row& row : rows) {
        CommandStateMachine m = Arrange(row.from, row.down);
        ASSERT_EQ(m.ButtonState(), row.from);
        const TrackingResult result = Send(m, row.event);
        const auto where = testing::Message() << "from " << row.from << " down " << row.down
                                              << " event " << static_cast<int>(row.event);
        EXPECT_EQ(m.ButtonState(), row.to) << where;
        EXPECT_EQ(result.paint, row.paint) << where;
        EXPECT_EQ(result.raiseClick, row.click) << where;
        EXPECT_EQ(m.MouseIsDown(), row.downAfter) << where;

        // The same notification on a disabled button changes and raises nothing.
        CommandStateMachine off = Arrange(row.from, row.down);
        off.SetEnabledFlag(false);
        EXPECT_EQ(Send(off, row.event), TrackingResult{}) << where;
        EXPECT_EQ(off.ButtonState(), row.from) << where;
        EXPECT_EQ(off.MouseIsDown(), row.down) << where;
    }
}

TEST(ButtonTracking, HoverEndsUnlessTheCursorIsOverTheButtonsOwnWindow) {
    const struct {
        WindowId under;
        std::optional<WindowId> own, parent;
        bool left;
    } cases[] = {{kOwn, kOwn, kParent, false},        {kParent, kOwn, kParent, true},
                 {kOther, kOwn, kParent, true},       {0, kOwn, kParent, true},
                 {kOwn, std::nullopt, kParent, true}, {kOwn, kOwn, std::nullopt, true}};
    for (const auto& c : cases) {
        EXPECT_EQ(CommandStateMachine::CursorHasLeft(c.under, c.own, c.parent), c.left)
            << c.under << " " << c.own.has_value() << c.parent.has_value();
    }
}

}  // namespace
