#include "platform/win32/win32_window.h"

#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_panel.h"

namespace platform::win32 {
namespace {

static_assert(kVkTab == VK_TAB && kVkEscape == VK_ESCAPE);

bool CanTakeFocus(HWND control) {
    return IsWindow(control) && IsWindowVisible(control) && IsWindowEnabled(control);
}

}  // namespace

namespace {

// Tells every picture panel among a window's descendants that the scale has changed.
BOOL CALLBACK TellPanel(HWND child, LPARAM) {
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    if (std::wstring(name) != kPanelClass) return TRUE;
    if (auto* panel = dynamic_cast<Win32PicturePanel*>(
            reinterpret_cast<MessageTarget*>(GetWindowLongPtrW(child, GWLP_USERDATA))))
        panel->DpiChanged();
    return TRUE;
}

}  // namespace

int DpiOf(HWND hwnd) {
    const Win32Window* top = TopLevelOf(hwnd);
    return top ? top->Dpi() : SystemDpiOf(hwnd);
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

// ---- Top-level window ----

Win32Window::Win32Window(Win32Host& host, WindowKind kind) : host_(host) {
    const DWORD style = kind == WindowKind::Borderless
                            ? WS_POPUP | WS_CLIPCHILDREN
                            : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = kind == WindowKind::Borderless ? 0 : WS_EX_DLGMODALFRAME;
    hwnd_ =
        CreateWindowExW(exStyle, kWindowClass, L"", style, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100,
                        nullptr, nullptr, host.Instance(), static_cast<MessageTarget*>(this));
    dpi_ = SystemDpiOf(hwnd_);
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
    host_.RunMessagesUntil(destroyed_);
}

void Win32Window::Close() {
    if (unload_.Begin(onUnload)) DestroyWindow(hwnd_);
}

bool Win32Window::HandleKeyDown(const MSG& message) {
    const int key = static_cast<int>(message.wParam);
    const int shift = ShiftState();
    if (onKeyDown && onKeyDown(key, shift)) return true;
    // Tab alone or with Shift; with Ctrl or Alt it is not a move between controls.
    if (message.message != WM_KEYDOWN || key != VK_TAB || (shift & ~kShiftMask) != 0 ||
        tabOrder_.empty())
        return false;
    FocusNextStop(FocusedStop(), (shift & kShiftMask) != 0);
    return true;
}

void Win32Window::SetTabOrder(std::vector<Handle> controls) {
    tabOrder_.clear();
    for (Handle control : controls) tabOrder_.push_back(ToHwnd(control));
    lastFocus_ = nullptr;
}

std::size_t Win32Window::FocusedStop() const {
    const HWND focus = GetFocus();
    for (std::size_t i = 0; focus && i < tabOrder_.size(); ++i)
        if (focus == tabOrder_[i] || IsChild(tabOrder_[i], focus)) return i;
    return tabOrder_.size();
}

bool Win32Window::FocusNextStop(std::size_t from, bool backwards) {
    const std::size_t count = tabOrder_.size();
    for (std::size_t step = 1; step <= count; ++step) {
        // From no stop at all, forwards begins with the first and backwards with the last.
        const std::size_t i = from >= count
                                  ? (backwards ? count - step : step - 1)
                                  : (backwards ? from + count - step : from + step) % count;
        if (CanTakeFocus(tabOrder_[i])) {
            ::SetFocus(tabOrder_[i]);
            return true;
        }
    }
    return false;
}

void Win32Window::RememberFocus() {
    const std::size_t stop = FocusedStop();
    lastFocus_ = stop < tabOrder_.size() ? tabOrder_[stop] : nullptr;
}

bool Win32Window::RestoreFocus() {
    if (tabOrder_.empty()) return false;
    if (lastFocus_ && CanTakeFocus(lastFocus_)) {
        ::SetFocus(lastFocus_);
        return true;
    }
    return FocusNextStop(tabOrder_.size(), false);
}

void Win32Window::EraseBackground(HDC dc) const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    FillSolid(dc, client, back_);
}

void Win32Window::DpiChanged(int dpi, const RECT& suggested) {
    if (dpi > 0) dpi_ = dpi;
    EnumChildWindows(hwnd_, TellPanel, 0);
    if (onDpiChanged) {
        onDpiChanged({suggested.left, suggested.top, suggested.right, suggested.bottom});
    } else if (!onDisplayChange) {
        SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top,
                     suggested.right - suggested.left, suggested.bottom - suggested.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

HWND Win32Window::ParentFor(PicturePanel* parent) const {
    return parent ? ToHwnd(parent->hWnd()) : hwnd_;
}

std::unique_ptr<PicturePanel> Win32Window::CreatePicturePanel(PicturePanel* parent,
                                                              BorderStyle border) {
    return std::make_unique<Win32PicturePanel>(host_, ParentFor(parent), border, back_);
}

std::unique_ptr<Label> Win32Window::CreateLabel(PicturePanel* parent) {
    // A label is drawn by its panel; without one it could never show.
    auto* panel = dynamic_cast<Win32PicturePanel*>(parent);
    if (!panel) return nullptr;
    return std::make_unique<Win32Label>(*panel);
}

std::unique_ptr<ImageControl> Win32Window::CreateImageControl(PicturePanel* parent) {
    return std::make_unique<Win32ImageControl>(host_, ParentFor(parent), back_);
}

std::unique_ptr<ScrollBar> Win32Window::CreateScrollBar(PicturePanel* parent) {
    return std::make_unique<Win32ScrollBar>(host_, ParentFor(parent));
}

LRESULT Win32Window::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            EraseBackground(reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) RememberFocus();
            break;  // activated, the window itself receives the focus first
        case WM_SETFOCUS:
            // A window with a tab order hands the focus on to its control.
            if (RestoreFocus()) return 0;
            break;
        case WM_DPICHANGED:
            // Both halves of wParam carry the new dots per inch (the same on both axes).
            DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            if (onDisplayChange) onDisplayChange();
            return 0;
        case WM_DESTROY:
            destroyed_ = true;
            unload_.Gone();
            if (endsProgram_) PostQuitMessage(0);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            Call(onMouseDown, ButtonOf(message), lParam);
            return 0;
        case WM_DISPLAYCHANGE:
            if (onDisplayChange) onDisplayChange();
            return 0;
        case WM_SETTINGCHANGE:
            if (wParam == SPI_SETWORKAREA && onDisplayChange) onDisplayChange();
            break;
        case WM_SETCURSOR:
            if (HCURSOR cursor = host_.ApplicationCursor(); cursor && LOWORD(lParam) == HTCLIENT) {
                ::SetCursor(cursor);
                return TRUE;
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace platform::win32
