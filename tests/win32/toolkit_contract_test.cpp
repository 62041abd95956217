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
