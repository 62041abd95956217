// The Command button on a real window under Wine: the painted face, pixel for pixel, in each state.
#include "controls/command.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>

#include "platform/win32/win32_host.h"
#include "process_helpers.h"
#include "resource_ids.h"

namespace {

using namespace Veltrane::Controls;
using veltrane_test::Hwnd;
using veltrane_test::Pixels;
using veltrane_test::Pump;

constexpr int kWidth = 77, kHeight = 25;  // the dialog's buttons: 1155 x 375 twips

class CommandOnWindow : public ::testing::Test {
  public:
    void SetUp() override {
        Leave();  // the real cursor stays away: only the messages below move "it"
        window = host.CreateTopLevelWindow(platform::WindowKind::FixedDialog);
        window->Move(40, 40, 200, 120);
        window->SetClientSize(160, 80);
        window->SetBackColour(0x00D8E9EC);
        window->Show();
        // A second button: both paint from the host's skin bitmaps, which one DC at a time holds.
        command = Button(20, 30);
        second = Button(20, 0);
        Pump(50);
    }
    std::unique_ptr<Command> Button(int x, int y, platform::PicturePanel* parent = nullptr) {
        auto button = std::make_unique<Command>(host, *window, parent);
        MemoryPropertyBag bag;
        button->UserControl_ReadProperties(bag, DesignFont());
        // A font this Wine prefix has: without Japanese fonts the design font shows empty boxes.
        button->SetFont({"Tahoma", 8, 400, false, false, false, 0});
        button->Move(x, y, kWidth, kHeight);
        button->SetCaption("OK");
        button->Initialize();
        return button;
    }
    // Puts the real cursor over the face (the hover poll looks there) and tells the face.
    void Enter() {
        const HWND face = Hwnd(*command);
        POINT centre{kWidth / 2, kHeight / 2};
        ClientToScreen(face, &centre);
        SetCursorPos(centre.x, centre.y);
        SendMessageW(face, WM_MOUSEMOVE, 0, MAKELPARAM(kWidth / 2, kHeight / 2));
    }
    static void Leave() { SetCursorPos(1000, 740); }

    platform::win32::Win32Host host{GetModuleHandleW(nullptr)};
    std::unique_ptr<platform::Window> window;
    std::unique_ptr<Command> command, second;
};

// The skin's corners and its evenly stretched edges; inside, left of the caption, the gradient from
// white to 198/197/215 down rows 0 to 24 (or up), or for a transparent face the pixels `under` it.
void ExpectFace(const Command& button, int skinId, bool darkOnTop, const char* what,
                const Pixels* under = nullptr) {
    Pump(30);
    const Pixels shown = veltrane_test::WindowPixels(Hwnd(button), 0, 0, kWidth, kHeight);
    const Pixels skin = veltrane_test::ResourcePixels(skinId);
    const int drop[3] = {57, 58, 40};
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y) {
        const double t = (darkOnTop ? 24.0 - y : y) / 24.0;
        for (int x = 0; x < kWidth; ++x) {
            const std::uint32_t p = shown.At(x, y);
            const bool frame = x < 4 || x >= kWidth - 4 || y < 4 || y >= kHeight - 4;
            const int sx = x < 4 ? x : x >= kWidth - 4 ? x - (kWidth - 64) : 4;
            bool right = !frame || p == skin.At(sx, y);
            if (under && !frame && x < 8) right = p == under->At(x, y);
            for (int c = 0; c < 3 && !under && !frame && x < 8; ++c)
                right =
                    right && std::abs(int(p >> (16 - 8 * c) & 0xFF) - int(255 - drop[c] * t)) <= 2;
            if (!right && wrong++ < 3)
                ADD_FAILURE() << what << ": pixel " << x << "," << y << " is " << std::hex << p;
        }
    }
    EXPECT_EQ(wrong, 0) << what;
}

TEST_F(CommandOnWindow, FaceInEachState) {
    const auto expect = [this](const char* what, int skin, bool darkOnTop, int state) {
        ExpectFace(*command, skin, darkOnTop, what);
        EXPECT_EQ(command->Model().tracking.ButtonState(), state) << what;
    };
    expect("normal", IDB_SKIN_NORMAL, false, StateNormal);
    ExpectFace(*second, IDB_SKIN_NORMAL, false, "second button");
    Enter();
    expect("cursor enters", IDB_SKIN_HIGHLIGHT, true, StateHighLight);
    SetFocus(Hwnd(*command));
    expect("focus while hovered", IDB_SKIN_PRESSED, true, StateHighLightSelect);
    Leave();
    Pump(300);
    expect("cursor gone at a tick", IDB_SKIN_SELECTED, false, StateSelected);
    Enter();
    expect("cursor back with focus", IDB_SKIN_HIGHLIGHTSELECT, false, StateHighLightSelect);
    Leave();
    SetFocus(Hwnd(*window));
    expect("focus lost", IDB_SKIN_NORMAL, false, StateNormal);
    command->SetEnabled(false);
    expect("disabled", IDB_SKIN_DISABLE, false, StateNormal);
}

// Transparent (Visible False): the frame, and elsewhere the panel under it, at once and later.
TEST_F(CommandOnWindow, TransparentFaceShowsThePanelUnderIt) {
    window->SetClientSize(160, 140);  // the panel below the fixture's buttons
    auto panel = window->CreatePicturePanel(nullptr, platform::BorderStyle::None);
    panel->Move(0, 70, 160, 60);
    const HDC image = reinterpret_cast<HDC>(panel->hDC());
    for (int y = 0; y < 60; ++y)  // a different colour in every pixel: any offset shows
        for (int x = 0; x < 160; ++x) SetPixel(image, x, y, RGB(x, 4 * y, 255 - x));
    panel->Refresh();
    Pump(30);
    const Pixels under = veltrane_test::WindowPixels(Hwnd(*panel), 10, 20, kWidth, kHeight);
    auto button = Button(10, 20, panel.get());
    button->SetVisible(false);
    ExpectFace(*button, IDB_SKIN_NORMAL, false, "made transparent", &under);
    SetFocus(Hwnd(*button));
    ExpectFace(*button, IDB_SKIN_SELECTED, false, "focused", &under);
    button->SetVisible(true);
    ExpectFace(*button, IDB_SKIN_NORMAL, false, "opaque again");
}

}  // namespace
