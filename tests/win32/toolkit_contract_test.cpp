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
    void Press(platform::PicturePanel& panel, int button, platform::Point at) override {
        Mouse(panel, button == platform::kLeftButton ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, at);
    }
    void Release(platform::PicturePanel& panel, int button, platform::Point at) override {
        Mouse(panel, button == platform::kLeftButton ? WM_LBUTTONUP : WM_RBUTTONUP, at);
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
    static void Mouse(platform::PicturePanel& panel, UINT message, platform::Point at) {
        const WPARAM held = message == WM_LBUTTONDOWN   ? MK_LBUTTON
                            : message == WM_RBUTTONDOWN ? MK_RBUTTON
                                                        : 0;
        SendMessageW(Hwnd(panel), message, held,
                     MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)));
    }
    static HWND Hwnd(const platform::Control& control) {
        return reinterpret_cast<HWND>(control.hWnd());
    }
    platform::win32::Win32Host host_{GetModuleHandleW(nullptr)};
};

}  // namespace

std::unique_ptr<veltrane_test::ToolkitDriver> veltrane_test::MakeToolkitDriver() {
    return std::make_unique<Win32Driver>();
}
