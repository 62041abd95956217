#include "platform/win32/win32_controls.h"

#include <algorithm>
#include <cmath>

namespace platform::win32 {

bool ForwardScroll(WPARAM wParam, LPARAM lParam) {
    Win32ScrollBar* bar = Win32ScrollBar::FromHwnd(reinterpret_cast<HWND>(lParam));
    if (!bar) return false;
    bar->Scrolled(LOWORD(wParam));
    return true;
}

// ---- Image control ----

Win32ImageControl::Win32ImageControl(Win32Host& host, HWND parent, COLORREF back) : back_(back) {
    hwnd_ = CreateWindowExW(0, kImageClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 1,
                            1, parent, nullptr, host.Instance(), static_cast<MessageTarget*>(this));
}

void Win32ImageControl::SetPicture(Handle bitmap) {
    picture_ = reinterpret_cast<HBITMAP>(bitmap);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT Win32ImageControl::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return 1;
    if (message != WM_PAINT) {
        // Input over the picture belongs to the window below it.
        if (message == WM_NCHITTEST) return HTTRANSPARENT;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    RECT client{};
    GetClientRect(hwnd, &client);
    FillSolid(dc, client, back_);
    BITMAP info{};
    if (picture_ && GetObjectW(picture_, sizeof info, &info)) {
        // At the picture's own size from the top-left corner; the control clips the rest.
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(source, picture_);
        ::BitBlt(dc, 0, 0, info.bmWidth, std::abs(info.bmHeight), source, 0, 0, SRCCOPY);
        SelectObject(source, previous);
        ::DeleteDC(source);
    }
    EndPaint(hwnd, &paint);
    return 0;
}

// ---- Scroll bar ----

Win32ScrollBar::Win32ScrollBar(Win32Host& host, HWND parent) {
    hwnd_ = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_HORZ, 0,
                            0, 1, 1, parent, nullptr, host.Instance(), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetRange(minimum_, maximum_);
}

Win32ScrollBar* Win32ScrollBar::FromHwnd(HWND hwnd) {
    wchar_t name[16] = {};
    if (!hwnd || !GetClassNameW(hwnd, name, 16) || lstrcmpiW(name, L"SCROLLBAR") != 0)
        return nullptr;
    return reinterpret_cast<Win32ScrollBar*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void Win32ScrollBar::SetRange(std::int32_t minimum, std::int32_t maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
    value_ = std::clamp(value_, minimum_, maximum_);
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_POS | SIF_PAGE, minimum_, maximum_, 0, value_, 0};
    SetScrollInfo(hwnd_, SB_CTL, &info, TRUE);
}

void Win32ScrollBar::SetSteps(std::int32_t small, std::int32_t large) {
    small_ = small;
    large_ = large;
}

bool Win32ScrollBar::SetValue(std::int64_t value) {
    if (value < minimum_ || value > maximum_) return false;
    Apply(static_cast<std::int32_t>(value), false);
    return true;
}

void Win32ScrollBar::Apply(std::int32_t value, bool dragging) {
    value = std::clamp(value, minimum_, maximum_);
    const bool changed = value != value_;
    value_ = value;
    SetScrollPos(hwnd_, SB_CTL, value_, TRUE);
    if (dragging) {
        if (onScroll) onScroll();
    } else if (changed && onChange) {
        onChange();
    }
}

void Win32ScrollBar::Scrolled(int code) {
    SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
    switch (code) {
        case SB_LINELEFT:
            Apply(value_ - small_, false);
            break;
        case SB_LINERIGHT:
            Apply(value_ + small_, false);
            break;
        case SB_PAGELEFT:
            Apply(value_ - large_, false);
            break;
        case SB_PAGERIGHT:
            Apply(value_ + large_, false);
            break;
        case SB_LEFT:
            Apply(minimum_, false);
            break;
        case SB_RIGHT:
            Apply(maximum_, false);
            break;
        case SB_THUMBTRACK:
            GetScrollInfo(hwnd_, SB_CTL, &info);
            Apply(info.nTrackPos, true);
            break;
        case SB_THUMBPOSITION: {
            // The drag already moved the value; releasing the thumb reports it as a change.
            GetScrollInfo(hwnd_, SB_CTL, &info);
            value_ = std::clamp(info.nTrackPos, minimum_, maximum_);
            SetScrollPos(hwnd_, SB_CTL, value_, TRUE);
            if (onChange) onChange();
            break;
        }
        default:
            break;
    }
}

}  // namespace platform::win32
