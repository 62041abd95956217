#include "platform/win32/win32_toolkit.h"

#include <windowsx.h>

namespace platform::win32 {
namespace {

LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* target = reinterpret_cast<MessageTarget*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    // A scroll bar tells its parent; ours are told, whichever window holds them.
    if (message == WM_HSCROLL && ForwardScroll(wParam, lParam)) return 0;
    return target ? target->HandleMessage(hwnd, message, wParam, lParam)
                  : DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

COLORREF ToColorref(std::uint32_t colour) {
    return static_cast<COLORREF>(colour & 0x00FFFFFF);
}

int ButtonOf(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            return kLeftButton;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return kRightButton;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            return kMiddleButton;
        default:
            return 0;
    }
}

void Call(const MouseHandler& handler, int button, LPARAM lParam) {
    if (handler) handler(button, ShiftState(), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

int ShiftState() {
    return (GetKeyState(VK_SHIFT) < 0 ? kShiftMask : 0) |
           (GetKeyState(VK_CONTROL) < 0 ? kCtrlMask : 0) |
           (GetKeyState(VK_MENU) < 0 ? kAltMask : 0);
}

int SystemDpiOf(HWND hwnd) {
    using GetDpi = UINT(WINAPI*)(HWND);
    static const auto getDpi = reinterpret_cast<GetDpi>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    const UINT dpi = getDpi && hwnd ? getDpi(hwnd) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : GetDeviceCaps(WindowDc().get(), LOGPIXELSY);
}

void RegisterWindowClasses(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpszClassName = kPanelClass;
    RegisterClassExW(&windowClass);
    windowClass.style = 0;
    windowClass.lpszClassName = kImageClass;
    RegisterClassExW(&windowClass);
}

}  // namespace platform::win32
