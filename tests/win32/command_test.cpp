// The Command button on a real window under Wine: the painted face, pixel for pixel, in each
// state. How real mouse messages reach a panel's handlers is the toolkit contract's part.
#include "controls/command.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/win32/win32_host.h"
#include "process_helpers.h"
#include "resource_ids.h"

namespace {

using namespace Veltrane::Controls;
using veltrane_test::Pixels;
using veltrane_test::Pump;

constexpr int kWidth = 77, kHeight = 25;  // the dialog's buttons: 1155 x 375 twips

int Channel(std::uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

// What a button's face shows on the screen, caption included.
Pixels WindowPixels(HWND face) {
    return veltrane_test::WindowPixels(face, 0, 0, kWidth, kHeight);
}

Pixels Skin(int resourceId) {
    return veltrane_test::ResourcePixels(GetModuleHandleW(nullptr), resourceId);
}

class CommandOnWindow : public ::testing::Test {
  public:
    void SetUp() override {
        // The real cursor stays far from the button: only the messages below move "it".
        Leave();
        window = host.CreateTopLevelWindow(platform::WindowKind::FixedDialog);
        window->Move(40, 40, 200, 120);
        window->SetClientSize(160, 80);
        window->SetBackColour(0x00D8E9EC);
        window->Show();
        // A second button above: the host hands both the same skin bitmaps, which one DC at a
        // time can hold, and each paints in turn.
        command = Button(30);
        second = Button(0);
        command->Move(20, 30, kWidth, kHeight);
        second->Move(20, 0, kWidth, kHeight);
        command->SetCaption("OK");
        command->Initialize();
        face = reinterpret_cast<HWND>(command->hWnd());
        Pump(50);
    }
    std::unique_ptr<Command> Button(int y, platform::PicturePanel* parent = nullptr) {
        auto button = std::make_unique<Command>(host, *window, parent);
        MemoryPropertyBag bag;
        button->UserControl_ReadProperties(bag, DesignFont());
        // A font this Wine prefix has: without Japanese fonts the design font shows empty boxes.
        button->SetFont({"Tahoma", 8, 400, false, false, false, 0});
        button->Move(20, y, kWidth, kHeight);
        return button;
    }
    // Puts the real cursor over the face (the hover poll looks there) and tells the face.
    void Enter() {
        POINT centre{kWidth / 2, kHeight / 2};
        ClientToScreen(face, &centre);
        SetCursorPos(centre.x, centre.y);
        SendMessageW(face, WM_MOUSEMOVE, 0, MAKELPARAM(kWidth / 2, kHeight / 2));
    }
    static void Leave() { SetCursorPos(1000, 740); }
    std::uint8_t State() const { return command->Model().tracking.ButtonState(); }

    platform::win32::Win32Host host{GetModuleHandleW(nullptr)};
    std::unique_ptr<platform::Window> window;
    std::unique_ptr<Command> command, second;
    HWND face = nullptr;
};

// The frame: the skin's 4 x 4 corners at the face's corners, its edges stretched between them
// (the top and bottom rows are even along the edge, so every stretched pixel is known). Inside
// it, left of the caption, the gradient: white to 198/197/215 over rows 0 to 24, or the other way
// round; or, for a transparent face, the pixels `under` it.
void ExpectFace(const Pixels& shown, const Pixels& skin, bool darkOnTop, const char* what,
                const Pixels* under = nullptr) {
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
                right = right && std::abs(Channel(p, 16 - 8 * c) - int(255 - drop[c] * t)) <= 2;
            if (!right && wrong++ < 3)
                ADD_FAILURE() << what << ": pixel " << x << "," << y << " is " << std::hex << p;
        }
    }
    EXPECT_EQ(wrong, 0) << what;
}

TEST_F(CommandOnWindow, FaceInEachState) {
    const auto expect = [this](const char* what, int skin, bool darkOnTop, int state) {
        Pump(30);
        EXPECT_EQ(State(), state) << what;
        ExpectFace(WindowPixels(face), Skin(skin), darkOnTop, what);
    };
    expect("normal", IDB_SKIN_NORMAL, false, StateNormal);
    ExpectFace(WindowPixels(reinterpret_cast<HWND>(second->hWnd())), Skin(IDB_SKIN_NORMAL), false,
               "second button");
    Enter();
    expect("cursor enters", IDB_SKIN_HIGHLIGHT, true, StateHighLight);
    SetFocus(face);
    expect("focus while hovered", IDB_SKIN_PRESSED, true, StateHighLightSelect);
    Leave();
    Pump(300);
    expect("cursor gone at a tick", IDB_SKIN_SELECTED, false, StateSelected);
    Enter();
    expect("cursor back with focus", IDB_SKIN_HIGHLIGHTSELECT, false, StateHighLightSelect);
    Leave();
    SetFocus(reinterpret_cast<HWND>(window->hWnd()));
    expect("focus lost", IDB_SKIN_NORMAL, false, StateNormal);
    command->SetEnabled(false);
    expect("disabled", IDB_SKIN_DISABLE, false, StateNormal);
}

// A transparent face (Visible False) keeps its frame and shows the panel under it elsewhere, at
// once and at every later paint.
TEST_F(CommandOnWindow, TransparentFaceShowsThePanelUnderIt) {
    window->SetClientSize(160, 140);  // the panel below the fixture's buttons
    std::unique_ptr<platform::PicturePanel> panel =
        window->CreatePicturePanel(nullptr, platform::BorderStyle::None);
    panel->Move(0, 70, 160, 60);
    const HDC image = reinterpret_cast<HDC>(panel->hDC());
    for (int y = 0; y < 60; ++y)  // a different colour in every pixel: any offset shows
        for (int x = 0; x < 160; ++x) SetPixel(image, x, y, RGB(x, 4 * y, 255 - x));
    panel->Refresh();
    Pump(30);
    const Pixels under =
        veltrane_test::WindowPixels(reinterpret_cast<HWND>(panel->hWnd()), 10, 20, kWidth, kHeight);
    auto button = Button(20, panel.get());
    button->Move(10, 20, kWidth, kHeight);
    button->SetCaption("OK");
    button->Initialize();
    const HWND transparent = reinterpret_cast<HWND>(button->hWnd());
    button->SetVisible(false);
    Pump(30);
    ExpectFace(WindowPixels(transparent), Skin(IDB_SKIN_NORMAL), false, "made transparent", &under);
    SetFocus(transparent);
    Pump(30);
    ExpectFace(WindowPixels(transparent), Skin(IDB_SKIN_SELECTED), false, "focused", &under);
    button->SetVisible(true);
    Pump(30);
    ExpectFace(WindowPixels(transparent), Skin(IDB_SKIN_NORMAL), false, "opaque again");
}

TEST_F(CommandOnWindow, CaptionCentred) {
    // The caption is black on the light face: its dark pixels, inside the frame.
    int left = kWidth, right = -1, top = kHeight, bottom = -1;
    const Pixels shown = WindowPixels(face);
    for (int y = 4; y < kHeight - 4; ++y) {
        for (int x = 4; x < kWidth - 4; ++x) {
            const std::uint32_t p = shown.At(x, y);
            if (Channel(p, 16) + Channel(p, 8) + Channel(p, 0) > 300) continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    ASSERT_GE(right, left) << "no caption drawn";
    EXPECT_LE(std::abs((left + right) - (kWidth - 1)), 2) << left << ".." << right;
    // The label's box starts at pixel 5 ((375 - 195 - 20) / 2 twips) and is 13 pixels high.
    EXPECT_GE(top, 5);
    EXPECT_LE(bottom, 5 + 13);
}

}  // namespace
