#include "platform/win32/win32_toolkit.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "platform/win32/font_choice.h"

namespace platform::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"VeltraneWindow";
constexpr wchar_t kPanelClass[] = L"VeltranePanel";
constexpr wchar_t kImageClass[] = L"VeltraneImage";

COLORREF ToColorref(std::uint32_t colour) {
    return static_cast<COLORREF>(colour & 0x00FFFFFF);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// The persistent images of all panels by bitmap, so that a panel's image can be copied while it
// stays selected into its own device context.
std::map<HBITMAP, HDC>& CanvasDcs() {
    static std::map<HBITMAP, HDC> dcs;
    return dcs;
}

LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* target = reinterpret_cast<MessageTarget*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return target ? target->HandleMessage(hwnd, message, wParam, lParam)
                  : DefWindowProcW(hwnd, message, wParam, lParam);
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

}  // namespace

int ShiftState() {
    return ((GetKeyState(VK_SHIFT) < 0) ? 1 : 0) | ((GetKeyState(VK_CONTROL) < 0) ? 2 : 0) |
           ((GetKeyState(VK_MENU) < 0) ? 4 : 0);
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

Win32Window* TopLevelOf(HWND hwnd) {
    HWND root = GetAncestor(hwnd, GA_ROOT);
    if (!root) return nullptr;
    wchar_t name[32] = {};
    GetClassNameW(root, name, 32);
    if (std::wstring(name) != kWindowClass) return nullptr;
    return dynamic_cast<Win32Window*>(
        reinterpret_cast<MessageTarget*>(GetWindowLongPtrW(root, GWLP_USERDATA)));
}

bool ForwardScroll(WPARAM wParam, LPARAM lParam) {
    Win32ScrollBar* bar = Win32ScrollBar::FromHwnd(reinterpret_cast<HWND>(lParam));
    if (!bar) return false;
    bar->Scrolled(LOWORD(wParam));
    return true;
}

// ---- Canvas ----

bool IsPanelImage(HBITMAP bitmap) {
    return CanvasDcs().count(bitmap) != 0;
}

Canvas::Canvas() : dc_(CreateCompatibleDC(nullptr)) {}

Canvas::~Canvas() {
    if (bitmap_) CanvasDcs().erase(bitmap_);
    if (original_) SelectObject(dc_, original_);
    if (bitmap_) DeleteObject(bitmap_);
    DeleteDC(dc_);
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
    HBITMAP bitmap = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return;
    HDC scratch = CreateCompatibleDC(dc_);
    HGDIOBJ previous = SelectObject(scratch, bitmap);
    const RECT all{0, 0, width, height};
    FillSolid(scratch, all, fill);
    if (bitmap_) ::BitBlt(scratch, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
    SelectObject(scratch, previous);
    DeleteDC(scratch);

    HGDIOBJ old = SelectObject(dc_, bitmap);
    if (!original_) original_ = old;
    if (bitmap_) {
        CanvasDcs().erase(bitmap_);
        DeleteObject(bitmap_);
    }
    bitmap_ = bitmap;
    CanvasDcs()[bitmap_] = dc_;
    width_ = width;
    height_ = height;
}

void Canvas::Fill(COLORREF colour) {
    const RECT all{0, 0, width_, height_};
    FillSolid(dc_, all, colour);
}

// ---- Child windows ----

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
        HDC source = CreateCompatibleDC(canvas_.Dc());
        HGDIOBJ previous = ::SelectObject(source, bitmap);
        ::BitBlt(canvas_.Dc(), 0, 0, info.bmWidth, std::abs(info.bmHeight), source, 0, 0, SRCCOPY);
        ::SelectObject(source, previous);
        ::DeleteDC(source);
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void Win32PicturePanel::RemoveLabel(Win32Label* label) {
    labels_.erase(std::remove(labels_.begin(), labels_.end(), label), labels_.end());
    if (pressedLabel_ == label) pressedLabel_ = nullptr;
}

void Win32PicturePanel::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd_, &paint);
    if (labels_.empty()) {
        // The common case (every session frame): straight from the persistent image.
        ::BitBlt(dc, 0, 0, canvas_.Width(), canvas_.Height(), canvas_.Dc(), 0, 0, SRCCOPY);
        EndPaint(hwnd_, &paint);
        return;
    }
    // Labels are drawn over a copy, so the persistent image never receives their text.
    HDC buffer = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, canvas_.Width(), canvas_.Height());
    HGDIOBJ previous = ::SelectObject(buffer, bitmap);
    ::BitBlt(buffer, 0, 0, canvas_.Width(), canvas_.Height(), canvas_.Dc(), 0, 0, SRCCOPY);
    for (const Win32Label* label : labels_) label->Paint(buffer);
    ::BitBlt(dc, 0, 0, canvas_.Width(), canvas_.Height(), buffer, 0, 0, SRCCOPY);
    ::SelectObject(buffer, previous);
    DeleteObject(bitmap);
    ::DeleteDC(buffer);
    EndPaint(hwnd_, &paint);
}

Win32Label* Win32PicturePanel::LabelAt(POINT point) const {
    for (auto it = labels_.rbegin(); it != labels_.rend(); ++it) {
        if ((*it)->Contains(point)) return *it;
    }
    return nullptr;
}

void Win32PicturePanel::Mouse(UINT message, WPARAM, LPARAM lParam) {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    Win32Label* label = LabelAt(point);
    const int button = ButtonOf(message);
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            // A control that follows the focus takes it on a press, before the press itself.
            if (onGotFocus && GetFocus() != hwnd_) ::SetFocus(hwnd_);
            SetCapture(hwnd_);
            if (button == kLeftButton) {
                pressed_ = true;
                pressedLabel_ = label;
            }
            Call(label ? label->onMouseDown : onMouseDown, button, lParam);
            break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            if (GetCapture() == hwnd_) ReleaseCapture();
            RECT client{};
            GetClientRect(hwnd_, &client);
            const bool inside = PtInRect(&client, point) != 0;
            Win32Label* target = button == kLeftButton && pressed_ ? pressedLabel_ : label;
            const bool click = button == kLeftButton && pressed_ && inside && target == label;
            if (button == kLeftButton) pressed_ = false;
            Call(target ? target->onMouseUp : onMouseUp, button, lParam);
            if (click) {
                const std::function<void()>& handler = target ? target->onClick : onClick;
                if (handler) handler();
            }
            break;
        }
        case WM_MOUSEMOVE: {
            const int held = (GetKeyState(VK_LBUTTON) < 0 ? kLeftButton : 0) |
                             (GetKeyState(VK_RBUTTON) < 0 ? kRightButton : 0) |
                             (GetKeyState(VK_MBUTTON) < 0 ? kMiddleButton : 0);
            Win32Label* target = pressed_ ? pressedLabel_ : label;
            Call(target ? target->onMouseMove : onMouseMove, held, lParam);
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
        const Win32Label* label = LabelAt(point);
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
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            Resized();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            Mouse(WM_LBUTTONDOWN, wParam, lParam);
            return 0;
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
        case WM_MOUSEMOVE:
            Mouse(message, wParam, lParam);
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
        case WM_HSCROLL:
            if (ForwardScroll(wParam, lParam)) return 0;
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// ---- Label ----

Win32Label::Win32Label(Win32PicturePanel* parent) : parent_(parent) {
    if (parent_) parent_->AddLabel(this);
}

Win32Label::~Win32Label() {
    if (parent_) parent_->RemoveLabel(this);
    if (font_) DeleteObject(font_);
}

void Win32Label::Invalidate() {
    if (parent_) InvalidateRect(parent_->Hwnd(), &rect_, FALSE);
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
    if (!fontWanted_) return;
    if (font_) DeleteObject(font_);
    font_ = CreateLabelFont(*fontWanted_, wide_);  // a face that has every character of the text
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
    HGDIOBJ previousFont = font_ ? SelectObject(dc, font_) : nullptr;
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
    if (previousFont) SelectObject(dc, previousFont);
    SetBkMode(dc, savedMode);
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

// ---- Timer ----

namespace {
std::map<UINT_PTR, Win32Timer*>& Timers() {
    static std::map<UINT_PTR, Win32Timer*> timers;
    return timers;
}
}  // namespace

Win32Timer::~Win32Timer() {
    if (id_) {
        KillTimer(nullptr, id_);
        Timers().erase(id_);
    }
}

bool Win32Timer::SetInterval(std::int64_t milliseconds) {
    if (milliseconds < 0 || milliseconds > 65535) return false;
    interval_ = static_cast<std::int32_t>(milliseconds);
    Arm();
    return true;
}

void Win32Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Arm();
}

void Win32Timer::Arm() {
    if (id_) {
        KillTimer(nullptr, id_);
        Timers().erase(id_);
        id_ = 0;
    }
    if (!enabled_ || interval_ == 0) return;  // an interval of 0 delivers no ticks
    id_ = SetTimer(nullptr, 0, static_cast<UINT>(interval_), &Win32Timer::Tick);
    if (id_) Timers()[id_] = this;
}

void CALLBACK Win32Timer::Tick(HWND, UINT, UINT_PTR id, DWORD) {
    const auto found = Timers().find(id);
    if (found != Timers().end() && found->second->onTick) found->second->onTick();
}

// ---- Top-level window ----

Win32Window::Win32Window(Win32Host& host, WindowKind kind) : host_(host) {
    const DWORD style = kind == WindowKind::Borderless
                            ? WS_POPUP | WS_CLIPCHILDREN
                            : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = kind == WindowKind::Borderless ? 0 : WS_EX_DLGMODALFRAME;
    hwnd_ =
        CreateWindowExW(exStyle, kWindowClass, L"", style, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100,
                        nullptr, nullptr, host.Instance(), static_cast<MessageTarget*>(this));
}

Win32Window::~Win32Window() {
    if (hwnd_ && !destroyed_) {
        endsProgram_ = false;  // the program itself is going away; no second end
        DestroyWindow(hwnd_);
    }
    if (bigIcon_) DestroyIcon(bigIcon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
}

void Win32Window::SetTitle(const std::string& text) {
    SetWindowTextW(hwnd_, Widen(text).c_str());
}

void Win32Window::Move(std::int32_t left, std::int32_t top, std::int32_t width,
                       std::int32_t height) {
    SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::SetClientSize(std::int32_t width, std::int32_t height) {
    // Worked out from the real frame, whatever its metrics.
    RECT rect{0, 0, width, height};
    AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)));
    SetWindowPos(hwnd_, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(hwnd_, &client);
    // A window manager may account for the frame differently; correct by what is missing.
    if (client.right != width || client.bottom != height) {
        ::GetWindowRect(hwnd_, &rect);
        SetWindowPos(hwnd_, nullptr, 0, 0, rect.right - rect.left + width - client.right,
                     rect.bottom - rect.top + height - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

Rect Win32Window::ClientRect() const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    return {client.left, client.top, client.right, client.bottom};
}

void Win32Window::SetBackColour(std::uint32_t colour) {
    back_ = ToColorref(colour);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32Window::SetIcon(int resourceId) {
    bigIcon_ =
        static_cast<HICON>(LoadImageW(host_.Instance(), MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(LoadImageW(host_.Instance(), MAKEINTRESOURCEW(resourceId),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

void Win32Window::Show() {
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
}

void Win32Window::ShowModal() {
    Show();
    SetForegroundWindow(hwnd_);
    MSG message;
    while (!destroyed_) {
        const BOOL result = GetMessageW(&message, nullptr, 0, 0);
        if (result <= 0) {
            if (result == 0) PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if ((message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) &&
            HandleKeyDown(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Win32Window::Close() {
    if (closing_ || destroyed_) return;
    closing_ = true;
    if (onUnload) onUnload();
    DestroyWindow(hwnd_);
}

bool Win32Window::HandleKeyDown(const MSG& message) {
    if (!onKeyDown) return false;
    onKeyDown(static_cast<int>(message.wParam), ShiftState());
    return true;
}

HWND Win32Window::ParentFor(PicturePanel* parent) const {
    return parent ? ToHwnd(parent->hWnd()) : hwnd_;
}

std::unique_ptr<PicturePanel> Win32Window::CreatePicturePanel(PicturePanel* parent,
                                                              BorderStyle border) {
    return std::make_unique<Win32PicturePanel>(host_, ParentFor(parent), border, back_);
}

std::unique_ptr<Label> Win32Window::CreateLabel(PicturePanel* parent) {
    return std::make_unique<Win32Label>(dynamic_cast<Win32PicturePanel*>(parent));
}

std::unique_ptr<ImageControl> Win32Window::CreateImageControl(PicturePanel* parent) {
    return std::make_unique<Win32ImageControl>(host_, ParentFor(parent), back_);
}

std::unique_ptr<ScrollBar> Win32Window::CreateScrollBar(PicturePanel* parent) {
    return std::make_unique<Win32ScrollBar>(host_, ParentFor(parent));
}

LRESULT Win32Window::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client{};
            GetClientRect(hwnd, &client);
            FillSolid(reinterpret_cast<HDC>(wParam), client, back_);
            return 1;
        }
        case WM_CLOSE:
            Close();
            return 0;
        case WM_DESTROY:
            destroyed_ = true;
            if (endsProgram_) PostQuitMessage(0);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            Call(onMouseDown, ButtonOf(message), lParam);
            return 0;
        case WM_SETCURSOR:
            if (HCURSOR cursor = host_.ApplicationCursor(); cursor && LOWORD(lParam) == HTCLIENT) {
                ::SetCursor(cursor);
                return TRUE;
            }
            break;
        case WM_HSCROLL:
            if (ForwardScroll(wParam, lParam)) return 0;
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace platform::win32
