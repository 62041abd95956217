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
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_NCHITTEST:
            // Input over the picture belongs to the window below it.
            return HTTRANSPARENT;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void Win32ImageControl::OnPaint() {
    const PaintScope paint(hwnd_);
    PaintContent(paint.Dc());
}

void Win32ImageControl::PaintContent(HDC dc) const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    FillSolid(dc, client, back_);
    BITMAP info{};
    // At the picture's own size from the top-left corner; the control clips the rest.
    if (picture_ && GetObjectW(picture_, sizeof info, &info))
        DrawBitmap(dc, picture_, info.bmWidth, std::abs(info.bmHeight));
}

// ---- Scroll bar ----

static_assert(static_cast<int>(ScrollCode::LineLeft) == SB_LINELEFT &&
              static_cast<int>(ScrollCode::LineRight) == SB_LINERIGHT &&
              static_cast<int>(ScrollCode::PageLeft) == SB_PAGELEFT &&
              static_cast<int>(ScrollCode::PageRight) == SB_PAGERIGHT);
static_assert(static_cast<int>(ScrollCode::ThumbPosition) == SB_THUMBPOSITION &&
              static_cast<int>(ScrollCode::ThumbTrack) == SB_THUMBTRACK &&
              static_cast<int>(ScrollCode::Left) == SB_LEFT &&
              static_cast<int>(ScrollCode::Right) == SB_RIGHT &&
              static_cast<int>(ScrollCode::EndScroll) == SB_ENDSCROLL);

Win32ScrollBar::Win32ScrollBar(Win32Host& host, HWND parent) {
    hwnd_ = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_HORZ, 0,
                            0, 1, 1, parent, nullptr, host.Instance(), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetRange(model_.Minimum(), model_.Maximum());
}

Win32ScrollBar* Win32ScrollBar::FromHwnd(HWND hwnd) {
    wchar_t name[16] = {};
    if (!hwnd || !GetClassNameW(hwnd, name, 16) || lstrcmpiW(name, L"SCROLLBAR") != 0)
        return nullptr;
    return reinterpret_cast<Win32ScrollBar*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void Win32ScrollBar::SetRange(std::int32_t minimum, std::int32_t maximum) {
    model_.SetRange(minimum, maximum);
    SCROLLINFO info{sizeof info,
                    SIF_RANGE | SIF_POS | SIF_PAGE,
                    model_.Minimum(),
                    model_.Maximum(),
                    0,
                    model_.Value(),
                    0};
    SetScrollInfo(hwnd_, SB_CTL, &info, TRUE);
}

void Win32ScrollBar::SetSteps(std::int32_t small, std::int32_t large) {
    model_.SetSteps(small, large);
}

bool Win32ScrollBar::SetValue(std::int64_t value) {
    ScrollModel::Notify notify = ScrollModel::Notify::None;
    if (!model_.SetValue(value, &notify)) return false;
    SetScrollPos(hwnd_, SB_CTL, model_.Value(), TRUE);
    Deliver(notify, *this);
    return true;
}

void Win32ScrollBar::Scrolled(int code) {
    const auto scroll = static_cast<ScrollCode>(code);
    SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
    if (scroll == ScrollCode::ThumbTrack || scroll == ScrollCode::ThumbPosition)
        GetScrollInfo(hwnd_, SB_CTL, &info);
    const ScrollModel::Notify notify = model_.Scrolled(scroll, info.nTrackPos);
    // Every code but the end of a scroll moves the thumb to the value.
    if (code >= 0 && code < SB_ENDSCROLL) SetScrollPos(hwnd_, SB_CTL, model_.Value(), TRUE);
    Deliver(notify, *this);
}

}  // namespace platform::win32
