// What the toolkit pieces on top of real windows share: the window classes and the one window
// procedure, the base of child controls with a window of their own, and the helpers that turn
// mouse messages into the handlers' arguments. The pieces themselves live beside this file:
// win32_window (top-level windows), win32_panel (picture panels, their persistent image, labels),
// win32_controls (image controls, scroll bars) and win32_timer (message timers).
//
// Window procedures only decode messages and call the pieces' methods or the portable handlers
// connected to them; no program logic lives here.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/toolkit_rules.h"
#include "platform/win32/win32_gdi.h"
#include "platform/win32/win32_host.h"

namespace platform::win32 {

// Receives the messages of one window; the shared window procedure finds it through the
// window's user data, stored when the window is created.
class MessageTarget {
  public:
    virtual ~MessageTarget() = default;
    virtual LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

inline constexpr wchar_t kWindowClass[] = L"VeltraneWindow";
inline constexpr wchar_t kPanelClass[] = L"VeltranePanel";
inline constexpr wchar_t kImageClass[] = L"VeltraneImage";

// What every child control with a window of its own shares.
template <typename Base>
class ChildWindow : public Base {
  public:
    Handle hWnd() const override { return FromPointer(hwnd_); }
    void Move(std::int32_t left, std::int32_t top, std::int32_t width,
              std::int32_t height) override;
    Rect Bounds() const override;
    void SetVisible(bool visible) override { ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE); }
    bool Visible() const override { return (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }

  protected:
    ~ChildWindow() override {
        if (!hwnd_ || !IsWindow(hwnd_)) return;
        // The derived object is already gone: the messages of the window's destruction go to the
        // default handling, not to it.
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    virtual void Resized() {}
    HWND hwnd_ = nullptr;
};

template <typename Base>
void ChildWindow<Base>::Move(std::int32_t left, std::int32_t top, std::int32_t width,
                             std::int32_t height) {
    SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    Resized();
}

template <typename Base>
Rect ChildWindow<Base>::Bounds() const {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}

COLORREF ToColorref(std::uint32_t colour);
// The button code (kLeftButton ...) of a button message; 0 for other messages.
int ButtonOf(UINT message);
// Calls a mouse handler, when set, with the position in a mouse message's lParam.
void Call(const MouseHandler& handler, int button, LPARAM lParam);

// The keyboard's shift state now, as the key and mouse handlers take it: kShiftMask, kCtrlMask
// and kAltMask added up for the keys held.
int ShiftState();

// Forwards a WM_HSCROLL notification to the scroll bar that sent it. True when it was one of ours.
bool ForwardScroll(WPARAM wParam, LPARAM lParam);

// The dots per inch the system shows a window at: GetDpiForWindow where the system has it, the
// screen's otherwise.
int SystemDpiOf(HWND hwnd);
// The dots per inch a window of ours draws at: that of the top-level window of ours it lies in
// (which follows WM_DPICHANGED), the system's for any other window.
int DpiOf(HWND hwnd);

}  // namespace platform::win32
