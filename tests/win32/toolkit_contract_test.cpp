// The toolkit contract against real windows under Wine: the user's input arrives as the window
// messages the system sends, and time passes with the message loop running.
#include "contract/toolkit_contract.h"

#include <windows.h>

#include "platform/win32/win32_host.h"
#include "process_helpers.h"

namespace {

class Win32Driver : public veltrane_test::ToolkitDriver {
  public:
    platform::Host& Host() override { return host_; }
    void Mouse(platform::PicturePanel& panel, int button, platform::Point at, bool down) override {
        const bool left = button == platform::kLeftButton;
        const UINT message =
            down ? (left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN) : (left ? WM_LBUTTONUP : WM_RBUTTONUP);
        // While a button is down the message says so, as the system's own do.
        SendMessageW(Hwnd(panel), message, down ? (left ? MK_LBUTTON : MK_RBUTTON) : 0,
                     MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)));
    }
    void Scroll(platform::ScrollBar& bar, platform::ScrollCode code) override {
        // As the bar itself reports it: to its parent, with its own handle.
        SendMessageW(GetParent(Hwnd(bar)), WM_HSCROLL, MAKEWPARAM(static_cast<int>(code), 0),
                     reinterpret_cast<LPARAM>(Hwnd(bar)));
    }
    void CloseBox(platform::Window& window) override {
        SendMessageW(reinterpret_cast<HWND>(window.hWnd()), WM_CLOSE, 0, 0);
    }
    void Wait() override { veltrane_test::Pump(150); }

  private:
    static HWND Hwnd(const platform::Control& control) {
        return reinterpret_cast<HWND>(control.hWnd());
    }
    platform::win32::Win32Host host_{GetModuleHandleW(nullptr)};
};

}  // namespace

std::unique_ptr<veltrane_test::ToolkitDriver> veltrane_test::MakeToolkitDriver() {
    return std::make_unique<Win32Driver>();
}

namespace {

// What only real time and a real pointer show: setting a timer to the interval it has keeps its
// countdown (a bar dragged slowly at a long interval still lets ticks through), and the
// application-wide pointer, put back to the default, shows at once the pointer of the label
// under the cursor.
TEST(Win32Toolkit, SameIntervalKeepsTheCountdownAndTheDefaultPointerIsTheLabels) {
    platform::win32::Win32Host host{GetModuleHandleW(nullptr)};
    std::unique_ptr<platform::Timer> timer = host.CreateTimer();
    int fired = 0;
    timer->onTick = [&] { ++fired; };
    ASSERT_TRUE(timer->SetInterval(200));
    timer->SetEnabled(true);
    for (int i = 0; i < 12; ++i) {
        veltrane_test::Pump(50);
        ASSERT_TRUE(timer->SetInterval(200));
    }
    EXPECT_GE(fired, 2);

    std::unique_ptr<platform::Window> window =
        host.CreateTopLevelWindow(platform::WindowKind::FixedDialog);
    window->Move(100, 100, 300, 200);
    std::unique_ptr<platform::PicturePanel> panel =
        window->CreatePicturePanel(nullptr, platform::BorderStyle::None);
    panel->Move(0, 0, 200, 100);
    std::unique_ptr<platform::Label> link = window->CreateLabel(panel.get());
    link->Move(10, 10, 100, 20);
    link->SetMousePointer(platform::MousePointer::Hand);
    window->Show();
    POINT over{30, 20};
    ClientToScreen(reinterpret_cast<HWND>(panel->hWnd()), &over);
    SetCursorPos(over.x, over.y);
    veltrane_test::Pump(50);
    const auto shown = [] {
        CURSORINFO info{sizeof info, 0, nullptr, {}};
        GetCursorInfo(&info);
        return info.hCursor;
    };
    host.SetMousePointer(platform::MousePointer::Hourglass);
    EXPECT_EQ(shown(), LoadCursor(nullptr, IDC_WAIT));
    host.SetMousePointer(platform::MousePointer::Default);
    EXPECT_EQ(shown(), host.CursorFor(platform::MousePointer::Hand));
}

}  // namespace
