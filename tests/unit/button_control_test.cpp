// The Command control's wiring against the recording fake: which notifications reach the state
// machine, what reaches the host when the face is painted, and where the caption goes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/command.h"
#include "platform/fake/fake_platform.h"

namespace {

using namespace Veltrane::Controls;
using platform::fake::FakeHost;
using platform::fake::FakeWindow;

constexpr platform::Handle kElsewhere = 0x9999;

struct Fixture {
    Fixture() : window(host.CreateTopLevelWindow(platform::WindowKind::FixedDialog)) {
        command = std::make_unique<Command>(host, *window, nullptr);
        command->Click = [this] { ++clicks; };
        MemoryPropertyBag bag;  // every key absent: enabled, black caption "Command1"
        command->UserControl_ReadProperties(bag, DesignFont());
        command->Move(10, 20, 77, 25);
        command->Initialize();
    }
    FakeWindow& Window() { return static_cast<FakeWindow&>(*window); }
    platform::fake::FakePicturePanel& Face() { return *Window().panels.at(0); }
    platform::fake::FakeLabel& Caption() { return *Window().labels.at(0); }
    platform::fake::FakeTimer& Timer() { return *host.timers.at(0); }

    FakeHost host;
    std::unique_ptr<platform::Window> window;
    std::unique_ptr<Command> command;
    int clicks = 0;
};

// One notification as the platform delivers it. Upper case: on the face; lower case: on the
// caption label. m/d/u move, left down, left up; r right up; f/b focus gained/lost;
// t a tick with the cursor elsewhere, o a tick with the cursor over the face.
void Deliver(Fixture& f, char event) {
    auto& face = f.Face();
    auto& label = f.Caption();
    switch (event) {
        case 'M':
            face.onMouseMove(0, 0, 5, 5);
            break;
        case 'D':
            face.onMouseDown(platform::kLeftButton, 0, 5, 5);
            break;
        case 'U':
            face.onMouseUp(platform::kLeftButton, 0, 5, 5);
            break;
        case 'R':
            face.onMouseUp(platform::kRightButton, 0, 5, 5);
            break;
        case 'm':
            label.onMouseMove(0, 0, 5, 5);
            break;
        case 'd':
            label.onMouseDown(platform::kLeftButton, 0, 5, 5);
            break;
        case 'u':
            label.onMouseUp(platform::kLeftButton, 0, 5, 5);
            break;
        case 'F':
            face.onGotFocus();
            break;
        case 'B':
            face.onLostFocus();
            break;
        case 't':
            f.host.windowFromPoint = kElsewhere;
            f.Timer().Fire();
            break;
        case 'o':
            f.host.windowFromPoint = face.hWnd();
            f.Timer().Fire();
            break;
        default:
            FAIL() << "unknown event " << event;
    }
}

TEST(ButtonControl, MouseFocusAndTimerReachTheStateMachine) {
    struct Row {
        const char* events;
        int clicks;
        int state;
    } rows[] = {
        {"MFDU", 1, StateHighLightSelect},  // a plain click, focus arriving before the press
        {"mFdu", 1, StateHighLightSelect},  // the same on the caption
        {"MFDtU", 0, StateSelected},        // press, leave, tick, release: cancelled
        {"MFDotU", 0, StateSelected},       // a tick over the face keeps the hover
        {"MFDoU", 1, StateHighLightSelect},
        {"MFDtMU", 0, StateSelected},  // coming back while pressed changes nothing
        {"MFDtMUM", 0, StateHighLightSelect},
        {"MtR", 1, StateNormal},  // right release: Click, no paint
        {"MFBtR", 1, StateNormal},
    };
    for (const Row& row : rows) {
        Fixture f;
        for (const char* e = row.events; *e; ++e) Deliver(f, *e);
        EXPECT_EQ(f.clicks, row.clicks) << row.events;
        EXPECT_EQ(f.command->Model().tracking.ButtonState(), row.state) << row.events;
    }
}

TEST(ButtonControl, HoverPollComparesWithTheFaceAndItsWindow) {
    Fixture f;
    EXPECT_EQ(f.Timer().interval, 100);
    EXPECT_TRUE(f.Timer().enabled);
    Deliver(f, 'M');
    f.host.windowFromPoint = f.window->hWnd();  // the dialog itself, beside the button
    f.host.cursor = {321, 123};
    f.Timer().Fire();
    EXPECT_EQ(f.command->Model().tracking.ButtonState(), StateNormal);
    EXPECT_EQ(f.host.CallsNamed("WindowFromPoint").back(), "WindowFromPoint(321, 123)");
}

TEST(ButtonControl, PaintReachesTheHostInPixels) {
    Fixture f;
    f.host.calls.clear();
    const int clears = f.Face().clears;
    Deliver(f, 'M');  // state 2: HighLight, dark colour on top

    EXPECT_EQ(f.Face().clears, clears + 1);
    ASSERT_EQ(f.host.CountOf("GradientFill"), 1);
    EXPECT_EQ(f.host.CallsNamed("GradientFill")[0],
              "GradientFill(" + std::to_string(f.Face().dc) + ", 3, 1, 1)");
    const auto& v = f.host.lastVertices;
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ((std::vector<int>{v[0].x, v[0].y, v[0].red, v[0].green, v[0].blue}),
              (std::vector<int>{0, 0, 0xC600, 0xC500, 0xD700}));
    EXPECT_EQ((std::vector<int>{v[1].x, v[1].y, v[1].red, v[1].green, v[1].blue}),
              (std::vector<int>{76, 24, 0xFF00, 0xFF00, 0xFF00}));
    ASSERT_EQ(f.host.lastGradientRects.size(), 1u);
    EXPECT_EQ(f.host.lastGradientRects[0].upperLeft, 1u);
    EXPECT_EQ(f.host.lastGradientRects[0].lowerRight, 0u);

    // The HighLight skin goes into the memory DC, the eight pieces come out of it, and the DC's
    // own bitmap goes back so that the other button can select the shared skin.
    const std::string dc = std::to_string(f.Face().dc);
    const std::vector<std::string> expected = {
        "SelectObject(196656, " + std::to_string(0x100000 + 201) + ")",
        "StretchBlt(" + dc + ", 0, 0, 4, 4, 196656, 0, 0, 4, 4, 13369376)",
        "StretchBlt(" + dc + ", 4, 0, 69, 4, 196656, 4, 0, 56, 4, 13369376)",
        "StretchBlt(" + dc + ", 73, 0, 4, 4, 196656, 60, 0, 4, 4, 13369376)",
        "StretchBlt(" + dc + ", 73, 4, 4, 17, 196656, 60, 4, 4, 17, 13369376)",
        "StretchBlt(" + dc + ", 73, 21, 4, 4, 196656, 60, 21, 4, 4, 13369376)",
        "StretchBlt(" + dc + ", 4, 21, 69, 4, 196656, 4, 21, 56, 4, 13369376)",
        "StretchBlt(" + dc + ", 0, 21, 4, 4, 196656, 0, 21, 4, 4, 13369376)",
        "StretchBlt(" + dc + ", 0, 4, 4, 17, 196656, 0, 4, 4, 17, 13369376)",
        "SelectObject(196656, 262208)",
    };
    std::vector<std::string> blits;
    for (const std::string& call : f.host.calls) {
        if (call.rfind("StretchBlt", 0) == 0 || call.rfind("SelectObject", 0) == 0) {
            blits.push_back(call);
        }
    }
    EXPECT_EQ(blits, expected);
}

TEST(ButtonControl, CaptionIsPlacedAndMirrored) {
    Fixture f;
    // 375 twips high, caption 195: top (375 - 195 - 20) / 2 = 80 twips, pixel 5.
    EXPECT_EQ(f.Caption().Bounds(), (platform::Rect{0, 5, 77, 18}));
    EXPECT_TRUE(f.Caption().centred);
    EXPECT_EQ(f.Caption().text, "Command1");
    // The design size, 420 twips high: 102.5 twips, pixel 7.
    f.command->Move(0, 0, 117, 28);
    EXPECT_EQ(f.Caption().Bounds(), (platform::Rect{0, 7, 117, 20}));

    f.command->SetFontColour(0x0000FF);
    EXPECT_EQ(f.Caption().textColour, 0x0000FFu);
    f.command->SetEnabled(false);
    EXPECT_FALSE(f.Caption().enabled);
    FontDescription font{"Tahoma", 12, 700, true, false, false, 0};
    f.command->SetFont(font);
    EXPECT_EQ(f.Caption().font, (platform::Font{"Tahoma", 12, 700, true, false, false, 0}));
}

}  // namespace
