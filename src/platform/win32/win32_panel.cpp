#include "platform/win32/win32_panel.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "platform/win32/font_choice.h"

namespace platform::win32 {
namespace {

// The persistent images of all panels by bitmap, so that a panel's image can be copied while it
// stays selected into its own device context.
std::map<HBITMAP, HDC>& CanvasDcs() {
    static std::map<HBITMAP, HDC> dcs;
    return dcs;
}

}  // namespace

bool IsPanelImage(HBITMAP bitmap) {
    return CanvasDcs().count(bitmap) != 0;
}

PanelImageFreed::PanelImageFreed(HBITMAP bitmap) {
    const auto found = CanvasDcs().find(bitmap);
    if (found == CanvasDcs().end()) return;
    placeholder_.reset(CreateBitmap(1, 1, 1, 1, nullptr));
    if (placeholder_) placeholderSelected_.emplace(found->second, placeholder_.get());
}

// ---- Canvas ----

Canvas::Canvas() : dc_(CompatibleDc(nullptr)) {}

Canvas::~Canvas() {
    if (bitmap_) CanvasDcs().erase(bitmap_.get());
}

void Canvas::Resize(int width, int height, COLORREF fill) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (bitmap_ && width == width_ && height == height_) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    GdiObject<HBITMAP> bitmap(CreateDIBSection(Dc(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) return;
    {
        const MemoryDc scratch = CompatibleDc(Dc());
        const Selected into(scratch.get(), bitmap.get());
        const RECT all{0, 0, width, height};
        FillSolid(scratch.get(), all, fill);
        if (bitmap_) ::BitBlt(scratch.get(), 0, 0, width_, height_, Dc(), 0, 0, SRCCOPY);
    }
    // The old image leaves the device context before it goes.
    selected_.reset();
    selected_.emplace(Dc(), bitmap.get());
    if (bitmap_) CanvasDcs().erase(bitmap_.get());
    bitmap_ = std::move(bitmap);
    CanvasDcs()[bitmap_.get()] = Dc();
    width_ = width;
    height_ = height;
}

void Canvas::Fill(COLORREF colour) {
    const RECT all{0, 0, width_, height_};
    FillSolid(Dc(), all, colour);
}

// ---- Picture panel ----

Win32PicturePanel::Win32PicturePanel(Win32Host& host, HWND parent, BorderStyle border,
                                     COLORREF back)
    : host_(host), back_(back) {
    hwnd_ = CreateWindowExW(border == BorderStyle::Sunken ? WS_EX_CLIENTEDGE : 0, kPanelClass, L"",
                            WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 1, 1,
                            parent, nullptr, host.Instance(), static_cast<MessageTarget*>(this));
    Resized();
}

void Win32PicturePanel::Resized() {
    RECT client{};
    GetClientRect(hwnd_, &client);
    canvas_.Resize(client.right, client.bottom, back_);
}

void Win32PicturePanel::SetBackColour(std::uint32_t colour) {
    back_ = ToColorref(colour);
}

void Win32PicturePanel::Clear() {
    canvas_.Fill(back_);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void Win32PicturePanel::Refresh() {
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateWindow(hwnd_);
}

void Win32PicturePanel::SetPicture(Handle bitmapHandle) {
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(bitmapHandle);
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) {
        Clear();
        return;
    }
    // The panel takes the picture's size; its border stays outside the picture.
    RECT outer{}, client{};
    ::GetWindowRect(hwnd_, &outer);
    GetClientRect(hwnd_, &client);
    const int frameX = (outer.right - outer.left) - client.right;
    const int frameY = (outer.bottom - outer.top) - client.bottom;
    SetWindowPos(hwnd_, nullptr, 0, 0, info.bmWidth + frameX, std::abs(info.bmHeight) + frameY,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Resized();
    canvas_.Fill(back_);
    const auto found = CanvasDcs().find(bitmap);
    if (found != CanvasDcs().end()) {
        ::BitBlt(canvas_.Dc(), 0, 0, info.bmWidth, std::abs(info.bmHeight), found->second, 0, 0,
                 SRCCOPY);
    } else {
        DrawBitmap(canvas_.Dc(), bitmap, info.bmWidth, std::abs(info.bmHeight));
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void Win32PicturePanel::DpiChanged() {
    for (Win32Label* label : labels_) label->DpiChanged();
}

void Win32PicturePanel::RemoveLabel(Win32Label* label) {
    labels_.erase(std::remove(labels_.begin(), labels_.end(), label), labels_.end());
    mouse_.Forget(label);
}

void Win32PicturePanel::OnPaint() {
    const PaintScope paint(hwnd_);
    PaintContent(paint.Dc());
}

void Win32PicturePanel::PaintContent(HDC dc) const {
    const int width = canvas_.Width(), height = canvas_.Height();
    if (labels_.empty()) {
        // The common case (every session frame): straight from the persistent image.
        ::BitBlt(dc, 0, 0, width, height, canvas_.Dc(), 0, 0, SRCCOPY);
        return;
    }
    // Labels are drawn over a copy, so the persistent image never receives their text.
    const MemoryDc buffer = CompatibleDc(dc);
    const GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, width, height));
    const Selected into(buffer.get(), bitmap.get());
    ::BitBlt(buffer.get(), 0, 0, width, height, canvas_.Dc(), 0, 0, SRCCOPY);
    for (const Win32Label* label : labels_) label->Paint(buffer.get());
    ::BitBlt(dc, 0, 0, width, height, buffer.get(), 0, 0, SRCCOPY);
}

void Win32PicturePanel::Mouse(UINT message, LPARAM lParam) {
    const Point at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    Win32Label* under = LabelAt(labels_, at);
    const int button = ButtonOf(message);
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            // A control that follows the focus takes it on a press, before the press itself.
            if (onGotFocus && GetFocus() != hwnd_) ::SetFocus(hwnd_);
            SetCapture(hwnd_);
            mouse_.Down(*this, under, button, ShiftState(), at);
            break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            if (GetCapture() == hwnd_) ReleaseCapture();
            RECT client{};
            GetClientRect(hwnd_, &client);
            const bool inside = PtInRect(&client, POINT{at.x, at.y}) != 0;
            mouse_.Up(*this, under, inside, button, ShiftState(), at);
            break;
        }
        case WM_MOUSEMOVE: {
            const int held = (GetKeyState(VK_LBUTTON) < 0 ? kLeftButton : 0) |
                             (GetKeyState(VK_RBUTTON) < 0 ? kRightButton : 0) |
                             (GetKeyState(VK_MBUTTON) < 0 ? kMiddleButton : 0);
            mouse_.Move(*this, under, held, ShiftState(), at);
            break;
        }
        default:
            break;
    }
}

bool Win32PicturePanel::SetCursorForPoint() {
    HCURSOR cursor = host_.ApplicationCursor();
    if (!cursor) {
        POINT point;
        ::GetCursorPos(&point);
        ScreenToClient(hwnd_, &point);
        const Win32Label* label = LabelAt(labels_, Point{point.x, point.y});
        const MousePointer pointer =
            label && label->Pointer() != MousePointer::Default ? label->Pointer() : pointer_;
        cursor = host_.CursorFor(pointer);
    }
    ::SetCursor(cursor);
    return true;
}

LRESULT Win32PicturePanel::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            Resized();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            Mouse(WM_LBUTTONDOWN, lParam);
            return 0;
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
        case WM_MOUSEMOVE:
            Mouse(message, lParam);
            return 0;
        case WM_SETFOCUS:
            if (onGotFocus) onGotFocus();
            return 0;
        case WM_KILLFOCUS:
            if (onLostFocus) onLostFocus();
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) return SetCursorForPoint();
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// ---- Label ----

Win32Label::Win32Label(Win32PicturePanel& parent) : parent_(parent) {
    parent_.AddLabel(this);
}

Win32Label::~Win32Label() {
    parent_.RemoveLabel(this);
}

void Win32Label::Invalidate() {
    InvalidateRect(parent_.Hwnd(), &rect_, FALSE);
}

void Win32Label::Move(std::int32_t left, std::int32_t top, std::int32_t width,
                      std::int32_t height) {
    Invalidate();
    rect_ = {left, top, left + width, top + height};
    Invalidate();
}

void Win32Label::SetVisible(bool visible) {
    visible_ = visible;
    Invalidate();
}

void Win32Label::SetText(const std::string& utf8) {
    text_ = utf8;
    wide_ = Widen(utf8);
    UpdateFont();
    Invalidate();
}

void Win32Label::SetFont(const Font& font) {
    fontWanted_ = font;
    UpdateFont();
    Invalidate();
}

void Win32Label::UpdateFont() {
    if (fontWanted_) font_.reset(CreateLabelFont(*fontWanted_, wide_, DpiOf(parent_.Hwnd())));
}

void Win32Label::DpiChanged() {
    UpdateFont();
    Invalidate();
}

Size Win32Label::TextExtent() const {
    if (wide_.empty()) return {};
    const MemoryDc dc = CompatibleDc(nullptr);
    const Selected font(dc.get(), font_.get());
    SIZE size{};
    if (!GetTextExtentPoint32W(dc.get(), wide_.c_str(), static_cast<int>(wide_.size()), &size))
        return {};
    return {size.cx, size.cy};
}

void Win32Label::SetTextColour(std::uint32_t colour) {
    colour_ = ToColorref(colour);
    Invalidate();
}

void Win32Label::SetCentred(bool centred) {
    centred_ = centred;
    Invalidate();
}

void Win32Label::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Invalidate();
}

void Win32Label::Paint(HDC dc) const {
    if (!visible_ || wide_.empty()) return;
    const int savedMode = SetBkMode(dc, TRANSPARENT);
    const Selected font(dc, font_.get());
    RECT rect = rect_;
    const UINT format = DT_WORDBREAK | DT_NOPREFIX | (centred_ ? DT_CENTER : DT_LEFT);
    if (enabled_) {
        SetTextColor(dc, colour_);
        DrawTextW(dc, wide_.c_str(), static_cast<int>(wide_.size()), &rect, format);
    } else {
        // Greyed the way the system draws disabled text: a light copy under a grey one.
        OffsetRect(&rect, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
        DrawTextW(dc, wide_.c_str(), static_cast<int>(wide_.size()), &rect, format);
        OffsetRect(&rect, -1, -1);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextW(dc, wide_.c_str(), static_cast<int>(wide_.size()), &rect, format);
    }
    SetBkMode(dc, savedMode);
}

}  // namespace platform::win32
