// The button's hover, press and focus tracking as a user drives it: what each step paints,
// whether it clicks, and the state it leaves. The control's wiring is in button_control_test.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "controls/command_tracking.h"

namespace {

using namespace Veltrane::Controls;
using P = SkinPicture;
using platform::Handle;

enum class Event { Move, LeftDown, RightDown, LeftUp, RightUp, Focus, Blur, TickAway, TickOver };
constexpr Handle kOwn = 0x20, kParent = 0x10, kOther = 0x99;
constexpr Event kEveryEvent[] = {Event::Move,   Event::LeftDown, Event::RightDown,
                                 Event::LeftUp, Event::RightUp,  Event::Focus,
                                 Event::Blur,   Event::TickAway, Event::TickOver};

TrackingResult Send(CommandStateMachine& m, Event e) {
    switch (e) {
        case Event::Move:
            return m.MouseMove();
        case Event::LeftDown:
            return m.MouseDown(platform::kLeftButton);
        case Event::RightDown:
            return m.MouseDown(platform::kRightButton);
        case Event::LeftUp:
            return m.MouseUp(platform::kLeftButton);
        case Event::RightUp:
            return m.MouseUp(platform::kRightButton);
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

struct Step {
    Event event;
    std::optional<P> paint;
    bool click;
    int stateAfter;
};

struct Scenario {
    const char* name;
    bool initialised;
    std::vector<Step> steps;
};

TEST(ButtonTracking, WhatAUserSeesStepByStep) {
    const std::optional<P> none;
    const Scenario scenarios[] = {
        {"hover, click, leave",
         true,
         {{Event::Move, P::HighLight, false, 2},
          {Event::TickOver, none, false, 2},
          {Event::LeftDown, P::Pressed, false, 2},
          {Event::LeftUp, P::Normal, true, 2},
          {Event::TickAway, P::Normal, false, 1}}},
        {"keyboard focus, hover, leave, focus lost",
         true,
         {{Event::Focus, P::Selected, false, 3},
          {Event::Move, P::HighLightSelect, false, 4},
          {Event::TickAway, P::Selected, false, 3},
          {Event::Blur, P::Normal, false, 1},
          {Event::Blur, none, false, 1}}},
        {"hover, then the press brings the focus",
         true,
         {{Event::Move, P::HighLight, false, 2},
          {Event::Focus, P::Pressed, false, 4},
          {Event::LeftDown, P::Pressed, false, 4},
          {Event::LeftUp, P::HighLightSelect, true, 4}}},
        {"press, leave and come back: cancelled until released",
         true,
         {{Event::Focus, P::Selected, false, 3},
          {Event::Move, P::HighLightSelect, false, 4},
          {Event::LeftDown, P::Pressed, false, 4},
          {Event::TickAway, P::Selected, false, 3},
          {Event::Move, none, false, 3},
          {Event::LeftUp, none, false, 3},
          {Event::Move, P::HighLightSelect, false, 4}}},
        {"other buttons press nothing but click on release",
         true,
         {{Event::Move, P::HighLight, false, 2},
          {Event::RightDown, none, false, 2},
          {Event::RightUp, none, true, 2},
          {Event::Focus, P::Pressed, false, 4},
          {Event::TickAway, P::Selected, false, 3},
          {Event::RightUp, none, false, 3}}},
        {"before Initialize the cursor changes nothing",
         false,
         {{Event::Move, none, false, 0},
          {Event::TickAway, none, false, 0},
          {Event::Focus, P::Selected, false, 3}}},
    };
    for (const Scenario& scenario : scenarios) {
        CommandStateMachine m;
        m.SetEnabledFlag(true);
        if (scenario.initialised) m.Initialize();
        int index = 0;
        for (const Step& step : scenario.steps) {
            const TrackingResult result = Send(m, step.event);
            const auto where = testing::Message() << scenario.name << ", step " << index++;
            EXPECT_EQ(result.paint, step.paint) << where;
            EXPECT_EQ(result.raiseClick, step.click) << where;
            EXPECT_EQ(m.ButtonState(), step.stateAfter) << where;
        }
    }
}

TEST(ButtonTracking, ADisabledButtonIgnoresEverything) {
    // Reach each state (with the left button up and down), disable, then send every event.
    const std::vector<Event> reach[] = {{Event::Move},
                                        {Event::Focus},
                                        {Event::Focus, Event::Move},
                                        {Event::Focus, Event::Move, Event::LeftDown}};
    for (const auto& path : reach) {
        for (const Event event : kEveryEvent) {
            CommandStateMachine m;
            m.SetEnabledFlag(true);
            m.Initialize();
            for (const Event e : path) Send(m, e);
            const std::uint8_t state = m.ButtonState();
            const bool down = m.MouseIsDown();
            m.SetEnabledFlag(false);
            EXPECT_EQ(Send(m, event), TrackingResult{}) << static_cast<int>(event);
            EXPECT_EQ(m.ButtonState(), state);
            EXPECT_EQ(m.MouseIsDown(), down);
        }
    }
}

TEST(ButtonTracking, HoverEndsUnlessTheCursorIsOverTheButtonsOwnWindow) {
    const struct {
        Handle under;
        std::optional<Handle> own, parent;
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
