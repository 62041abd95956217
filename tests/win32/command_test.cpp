// The Command button on a real window under Wine: the painted face, pixel for pixel, in each
// state. How real mouse messages reach a panel's handlers is the toolkit contract's part.
#include "controls/command.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

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

// What the face shows on the screen, caption included.
Pixels Screen(HWND face) {
    HDC dc = GetDC(face);
    Pixels result = veltrane_test::ReadPixels(dc, 0, 0, kWidth, kHeight);
    ReleaseDC(face, dc);
    return result;
}

Pixels Skin(int resourceId) {
    return veltrane_test::TakeBitmapPixels(
        LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId)));
}

LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)),
                      static_cast<WORD>(static_cast<SHORT>(y)));
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
        command = std::make_unique<Command>(host, *window, nullptr);
        MemoryPropertyBag bag;
        command->UserControl_ReadProperties(bag, DesignFont());
        // A font this Wine prefix has: without Japanese fonts the design font shows empty boxes.
        command->SetFont({"Tahoma", 8, 400, false, false, false, 0});
        command->Move(20, 30, kWidth, kHeight);
        command->Initialize();
        face = reinterpret_cast<HWND>(command->hWnd());
        Pump(50);
    }
    // Puts the real cursor over the face (the hover poll looks there) and tells the face.
    void Enter() {
        POINT centre{kWidth / 2, kHeight / 2};
        ClientToScreen(face, &centre);
        SetCursorPos(centre.x, centre.y);
        SendMessageW(face, WM_MOUSEMOVE, 0, At(kWidth / 2, kHeight / 2));
    }
    static void Leave() { SetCursorPos(1000, 740); }
    std::uint8_t State() const { return command->Model().tracking.ButtonState(); }

    platform::win32::Win32Host host{GetModuleHandleW(nullptr)};
    std::unique_ptr<platform::Window> window;
    std::unique_ptr<Command> command;
    HWND face = nullptr;
};

// The frame: the skin's 4 x 4 corners at the face's corners, its edges stretched between them
// (the top and bottom rows are even along the edge, so every stretched pixel is known).
void ExpectFrame(const Pixels& shown, const Pixels& skin, const char* what) {
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (x >= 4 && x < kWidth - 4 && y >= 4 && y < kHeight - 4) continue;
            const int sx = x < 4 ? x : x >= kWidth - 4 ? x - (kWidth - 64) : 4;
            if (shown.At(x, y) != skin.At(sx, y) && wrong++ < 3) {
                ADD_FAILURE() << what << ": pixel " << x << "," << y << " is " << std::hex
                              << shown.At(x, y) << ", skin " << skin.At(sx, y);
            }
        }
    }
    EXPECT_EQ(wrong, 0) << what;
}

// The gradient inside the frame, left of the caption: white to 198/197/215 over rows 0 to 24,
// or the other way round.
void ExpectGradient(const Pixels& shown, bool darkOnTop, const char* what) {
    for (int y = 4; y < kHeight - 4; ++y) {
        const double t = (darkOnTop ? 24.0 - y : y) / 24.0;
        const int expected[3] = {static_cast<int>(255 - 57 * t), static_cast<int>(255 - 58 * t),
                                 static_cast<int>(255 - 40 * t)};
        for (int x = 4; x < 8; ++x) {
            for (int c = 0; c < 3; ++c) {
                ASSERT_LE(std::abs(Channel(shown.At(x, y), 16 - 8 * c) - expected[c]), 2)
                    << what << ": pixel " << x << "," << y << " channel " << c;
            }
        }
    }
}

TEST_F(CommandOnWindow, FaceInEachState) {
    struct Step {
        const char* what;
        std::function<void(CommandOnWindow&)> action;
        int skin;
        bool darkOnTop;
        int state;
    };
    const Step steps[] = {
        {"normal", [](CommandOnWindow&) {}, IDB_SKIN_NORMAL, false, StateNormal},
        {"cursor enters", [](CommandOnWindow& t) { t.Enter(); }, IDB_SKIN_HIGHLIGHT, true,
         StateHighLight},
        {"focus while hovered", [](CommandOnWindow& t) { SetFocus(t.face); }, IDB_SKIN_PRESSED,
         true, StateHighLightSelect},
        {"cursor gone at a tick",
         [](CommandOnWindow&) {
             Leave();
             Pump(300);
         },
         IDB_SKIN_SELECTED, false, StateSelected},
        {"cursor back with focus", [](CommandOnWindow& t) { t.Enter(); }, IDB_SKIN_HIGHLIGHTSELECT,
         false, StateHighLightSelect},
        {"focus lost",
         [](CommandOnWindow& t) {
             Leave();
             SetFocus(reinterpret_cast<HWND>(t.window->hWnd()));
         },
         IDB_SKIN_NORMAL, false, StateNormal},
        {"disabled", [](CommandOnWindow& t) { t.command->SetEnabled(false); }, IDB_SKIN_DISABLE,
         false, StateNormal},
    };
    for (const Step& step : steps) {
        step.action(*this);
        Pump(30);
        EXPECT_EQ(State(), step.state) << step.what;
        const Pixels shown = Screen(face);
        ExpectFrame(shown, Skin(step.skin), step.what);
        ExpectGradient(shown, step.darkOnTop, step.what);
    }
}

TEST_F(CommandOnWindow, TwoButtonsShareTheSkins) {
    // The host hands both buttons the same skin bitmaps, which one DC at a time can hold.
    Command second(host, *window, nullptr);
    MemoryPropertyBag bag;
    second.UserControl_ReadProperties(bag, DesignFont());
    second.SetFont(command->Font());
    second.Move(20, 0, kWidth, kHeight);
    command->Move(20, 30, kWidth, kHeight);
    second.Move(20, 0, kWidth, kHeight);
    Pump(30);
    ExpectFrame(Screen(face), Skin(IDB_SKIN_NORMAL), "first");
    ExpectFrame(Screen(reinterpret_cast<HWND>(second.hWnd())), Skin(IDB_SKIN_NORMAL), "second");
}

TEST_F(CommandOnWindow, CaptionCentred) {
    command->SetCaption("OK");
    Pump(30);
    // The caption is black on the light face: its dark pixels, inside the frame.
    int left = kWidth, right = -1, top = kHeight, bottom = -1;
    const Pixels shown = Screen(face);
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
