// The toolkit contract on real windows under Wine, input as window messages; and what only they
// show.
#include "contract/toolkit_contract.h"

#include <windows.h>

#include <cstdint>
#include <vector>

#include "platform/win32/win32_host.h"
#include "process_helpers.h"

namespace {

using veltrane_test::Hwnd;

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
    void CloseBox(platform::Window& window) override { SendMessageW(Hwnd(window), WM_CLOSE, 0, 0); }
    void Wait() override { veltrane_test::Pump(150); }

  private:
    platform::win32::Win32Host host_{GetModuleHandleW(nullptr)};
};

// The same interval keeps the countdown; the default pointer shows at once the label's under it.
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

    auto window = host.CreateTopLevelWindow(platform::WindowKind::FixedDialog);
    window->Move(100, 100, 300, 200);
    auto panel = window->CreatePicturePanel(nullptr, platform::BorderStyle::None);
    panel->Move(0, 0, 200, 100);
    std::unique_ptr<platform::Label> link = window->CreateLabel(panel.get());
    link->Move(10, 10, 100, 20);
    link->SetMousePointer(platform::MousePointer::Hand);
    window->Show();
    POINT over{30, 20};
    ClientToScreen(Hwnd(*panel), &over);
    SetCursorPos(over.x, over.y);
    veltrane_test::Pump(50);
    host.SetMousePointer(platform::MousePointer::Hourglass);
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_WAIT));
    host.SetMousePointer(platform::MousePointer::Default);
    EXPECT_EQ(GetCursor(), host.CursorFor(platform::MousePointer::Hand));
}

// GetDIBits and SetDIBits want a bitmap in no DC: a panel's image leaves its DC and comes back.
TEST(Win32Toolkit, PanelImageLeavesItsContextForGetAndSetDIBits) {
    platform::win32::Win32Host host{GetModuleHandleW(nullptr)};
    auto window = host.CreateTopLevelWindow(platform::WindowKind::Borderless);
    auto panel = window->CreatePicturePanel(nullptr, platform::BorderStyle::None);
    panel->Move(0, 0, 4, 3);
    HDC dc = reinterpret_cast<HDC>(panel->hDC());
    auto image = reinterpret_cast<HBITMAP>(panel->ImageHandle());
    ASSERT_EQ(GetCurrentObject(dc, OBJ_BITMAP), image);
    SetPixel(dc, 1, 0, RGB(0x0A, 0x14, 0x1E));
    platform::BitmapInfo header{40, 4, -3, 1, 32};  // 4 x 3, top-down, 32 bits
    std::vector<std::uint32_t> pixels(12);
    EXPECT_EQ(host.GetDIBits(panel->hDC(), panel->ImageHandle(), 0, 3, pixels.data(), &header,
                             platform::kDibRgbColors),
              3);
    EXPECT_EQ(pixels[1] & 0xFFFFFF, 0x0A141Eu);
    pixels[5] = 0x00112233;  // x 1, y 1: blue 0x33, green 0x22, red 0x11
    EXPECT_EQ(host.SetDIBits(panel->hDC(), panel->ImageHandle(), 0, 3, pixels.data(), &header,
                             platform::kDibRgbColors),
              3);
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), image);
}

}  // namespace

std::unique_ptr<veltrane_test::ToolkitDriver> veltrane_test::MakeToolkitDriver() {
    return std::make_unique<Win32Driver>();
}
