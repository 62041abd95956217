// The button's hover, press and focus tracking as a user drives it: what each step paints,
// whether it clicks, and the state it leaves. The control's wiring is in button_control_test.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>

#include "controls/command_tracking.h"

namespace {

using namespace Veltrane::Controls;
using platform::Handle;

constexpr Handle kOwn = 0x20, kParent = 0x10, kOther = 0x99;

// One notification: M move, D/U left button down/up, d/u right button down/up, F/B focus
// gained/lost, o/t a hover poll with the cursor over the button / elsewhere.
TrackingResult Send(CommandStateMachine& m, char event) {
    switch (event) {
        case 'M':
            return m.MouseMove();
        case 'D':
        case 'd':
            return m.MouseDown(event == 'D' ? platform::kLeftButton : platform::kRightButton);
        case 'U':
        case 'u':
            return m.MouseUp(event == 'U' ? platform::kLeftButton : platform::kRightButton);
        case 'F':
            return m.GotFocus();
        case 'B':
            return m.LostFocus();
        default:
            return m.TimerTick(event == 'o' ? kOwn : kOther, kOwn, kParent);
    }
}

// What a step gives, written as the face painted (N normal, H highlight, S selected,
// X highlight-select, P pressed, - none), the state after it, and * when it clicks.
std::string Outcome(const TrackingResult& result, int state) {
    static const char kFaces[] = "NHXDSP";  // in SkinPicture order
    std::string text(1, result.paint ? kFaces[static_cast<int>(*result.paint)] : '-');
    return text + std::to_string(state) + (result.raiseClick ? "*" : "");
}

TEST(ButtonTracking, WhatAUserSeesStepByStep) {
    const struct {
        const char* name;
        bool initialised;
        const char* events;
        const char* outcomes;
    } scenarios[] = {
        {"hover, click, leave", true, "MoDUt", "H2 -2 P2 N2* N1"},
        {"keyboard focus, hover, leave, focus lost", true, "FMtBB", "S3 X4 S3 N1 -1"},
        {"hover, then the press brings the focus", true, "MFDU", "H2 P4 P4 X4*"},
        {"press, leave, come back: cancelled until released", true, "FMDtMUM",
         "S3 X4 P4 S3 -3 -3 X4"},
        {"other buttons press nothing but click on release", true, "MduFtu", "H2 -2 -2* P4 S3 -3"},
        {"before Initialize the cursor changes nothing", false, "MtF", "-0 -0 S3"},
    };
    for (const auto& s : scenarios) {
        CommandStateMachine m;
        m.SetEnabledFlag(true);
        if (s.initialised) m.Initialize();
        std::ostringstream seen;
        for (const char* e = s.events; *e; ++e) {
            const TrackingResult result = Send(m, *e);
            seen << (e == s.events ? "" : " ") << Outcome(result, m.ButtonState());
        }
        EXPECT_EQ(seen.str(), s.outcomes) << s.name;
    }
}

TEST(ButtonTracking, ADisabledButtonIgnoresEverything) {
    // Reach each state (with the left button up and down), disable, then send every event.
    for (const std::string reach : {"M", "F", "FM", "FMD"}) {
        for (const char event : std::string("MDdUuFBot")) {
            CommandStateMachine m;
            m.SetEnabledFlag(true);
            m.Initialize();
            for (const char e : reach) Send(m, e);
            const std::uint8_t state = m.ButtonState();
            const bool down = m.MouseIsDown();
            m.SetEnabledFlag(false);
            EXPECT_EQ(Send(m, event), TrackingResult{}) << reach << " then " << event;
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
