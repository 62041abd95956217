// The Command control's wiring against the recording fake: which notifications reach the state
// machine and where the caption goes. The painted pixels are checked under Wine.
#include <gtest/gtest.h>

#include "controls/command.h"
#include "platform/fake/fake_platform.h"

namespace {

using namespace Veltrane::Controls;
using platform::fake::FakeHost;
using platform::fake::FakeWindow;

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
    platform::fake::FakeLabel& Caption() { return *Window().labels.at(0); }
    std::uint8_t State() const { return command->Model().tracking.ButtonState(); }

    // One notification as the platform delivers it: M/D/U move, left down, left up on the face,
    // m/d/u the same on the caption, R right up, F/B focus gained/lost, and a timer tick with
    // the cursor over the face (o), over the dialog beside it (w) or elsewhere (t).
    void Deliver(char event) {
        auto& face = *Window().panels.at(0);
        auto& label = Caption();
        const auto tick = [&](platform::Handle under) {
            host.windowFromPoint = under;
            host.timers.at(0)->Fire();
        };
        const int left = platform::kLeftButton;
        if (event == 'M') face.onMouseMove(0, 0, 5, 5);
        if (event == 'D') face.onMouseDown(left, 0, 5, 5);
        if (event == 'U') face.onMouseUp(left, 0, 5, 5);
        if (event == 'm') label.onMouseMove(0, 0, 5, 5);
        if (event == 'd') label.onMouseDown(left, 0, 5, 5);
        if (event == 'u') label.onMouseUp(left, 0, 5, 5);
        if (event == 'R') face.onMouseUp(platform::kRightButton, 0, 5, 5);
        if (event == 'F') face.onGotFocus();
        if (event == 'B') face.onLostFocus();
        if (event == 'o') tick(face.hWnd());
        if (event == 'w') tick(window->hWnd());
        if (event == 't') tick(0x9999);
    }

    FakeHost host;
    std::unique_ptr<platform::Window> window;
    std::unique_ptr<Command> command;
    int clicks = 0;
};

TEST(ButtonControl, MouseFocusAndTimerReachTheStateMachine) {
    struct Row {
        const char* events;
        int clicks;
        int state;
    } rows[] = {
        {"MFDU", 1, StateHighLightSelect},   // a plain click, focus arriving before the press
        {"mFdu", 1, StateHighLightSelect},   // the same on the caption
        {"MFDtU", 0, StateSelected},         // press, leave, tick, release: cancelled
        {"MFDwU", 0, StateSelected},         // leaving onto the dialog itself
        {"MFDoU", 1, StateHighLightSelect},  // a tick over the face keeps the hover
        {"MFBtR", 1, StateNormal},           // right release: Click
    };
    for (const Row& row : rows) {
        Fixture f;
        for (const char* e = row.events; *e; ++e) f.Deliver(*e);
        EXPECT_EQ(f.clicks, row.clicks) << row.events;
        EXPECT_EQ(f.State(), row.state) << row.events;
    }
}

TEST(ButtonControl, CaptionIsPlacedAndMirrored) {
    Fixture f;
    // 375 twips high, caption 195: top (375 - 195 - 20) / 2 = 80 twips, pixel 5.
    EXPECT_EQ(f.Caption().Bounds(), (platform::Rect{0, 5, 77, 18}));
    EXPECT_EQ(f.Caption().text, "Command1");
    // The design size, 420 twips high: 102.5 twips, pixel 7.
    f.command->Move(0, 0, 117, 28);
    EXPECT_EQ(f.Caption().Bounds(), (platform::Rect{0, 7, 117, 20}));

    f.command->SetFontColour(0x0000FF);
    f.command->SetEnabled(false);
    f.command->SetFont({"Tahoma", 12, 700, true, false, false, 0});
    EXPECT_EQ(f.Caption().textColour, 0x0000FFu);
    EXPECT_FALSE(f.Caption().enabled);
    EXPECT_EQ(f.Caption().font, (platform::Font{"Tahoma", 12, 700, true, false, false, 0}));
}

}  // namespace
