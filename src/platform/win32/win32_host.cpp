#include "platform/win32/win32_host.h"

#include <shellapi.h>

#include "platform/win32/wide_path.h"
#include "platform/win32/win32_panel.h"
#include "platform/win32/win32_timer.h"
#include "platform/win32/win32_window.h"

namespace platform::win32 {

static_assert(kGwlStyle == GWL_STYLE && kWsChild == WS_CHILD && kWsPopup == WS_POPUP &&
              kSrcCopy == SRCCOPY);
static_assert(kSwpNoSize == SWP_NOSIZE && kSwpNoMove == SWP_NOMOVE &&
              kSwpNoActivate == SWP_NOACTIVATE);
static_assert(kDibRgbColors == DIB_RGB_COLORS && kDibPalColors == DIB_PAL_COLORS &&
              kWmClose == WM_CLOSE);
static_assert(kSpiSetScreenSaveActive == SPI_SETSCREENSAVEACTIVE);
static_assert(kSpiScreenSaverRunning == SPI_SCREENSAVERRUNNING && kIdaniCaption == IDANI_CAPTION);
static_assert(kSwShowNormal == SW_SHOWNORMAL && kVerPlatformWin32Nt == VER_PLATFORM_WIN32_NT &&
              kMbOk == MB_OK);
static_assert(kGradientFillRectV == GRADIENT_FILL_RECT_V);
static_assert(sizeof(TriVertex) == sizeof(TRIVERTEX) &&
              sizeof(GradientRect) == sizeof(GRADIENT_RECT));
static_assert(sizeof(BitmapInfo) == sizeof(BITMAPINFO) &&
              sizeof(OsVersionInfo) == sizeof(OSVERSIONINFOA));

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
    return wide;
}

Win32Host::Win32Host(HINSTANCE instance) : instance_(instance) {
    RegisterWindowClasses(instance);
}

Win32Host::~Win32Host() {
    for (const auto& [id, bitmap] : bitmaps_) DeleteObject(bitmap);
}

HCURSOR Win32Host::CursorFor(MousePointer pointer) const {
    switch (pointer) {
        case MousePointer::Hourglass:
            return LoadCursor(nullptr, IDC_WAIT);
        case MousePointer::Hand: {
            // The program's own hand cursor when it has one, the system's otherwise.
            HCURSOR hand = LoadCursor(instance_, MAKEINTRESOURCE(kHandCursorId));
            return hand ? hand : LoadCursor(nullptr, IDC_HAND);
        }
        case MousePointer::Default:
            break;
    }
    return LoadCursor(nullptr, IDC_ARROW);
}

HCURSOR Win32Host::ApplicationCursor() const {
    return pointer_ == MousePointer::Default ? nullptr : CursorFor(pointer_);
}

std::string Win32Host::CommandLine() {
    // Everything after the program's name, which may be quoted, and the blanks that follow it.
    // Read wide: the name's folder may hold characters the ANSI code page does not have.
    const wchar_t* line = GetCommandLineW();
    if (*line == L'"') {
        ++line;
        while (*line && *line != L'"') ++line;
        if (*line == L'"') ++line;
    } else {
        while (*line && *line != L' ' && *line != L'\t') ++line;
    }
    while (*line == L' ' || *line == L'\t') ++line;
    return WideToUtf8(line);
}

std::string Win32Host::ProgramFolder() {
    // Wide, so that every folder name comes back as it is spelt whatever the ANSI code page, and
    // in a growing buffer, so that folders deeper than MAX_PATH come back whole.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= 0x8000) return {};  // longer than any path the system allows
        path.resize(path.size() * 2);
    }
    // The folder in its ordinary spelling: a long-path prefix ("\\?\C:\...", "\\?\UNC\server\...")
    // is the file layer's business, and the user reads the name in messages.
    if (path.rfind(LR"(\\?\UNC\)", 0) == 0) {
        path.erase(0, 6);
        path[0] = L'\\';
    } else if (path.rfind(LR"(\\?\)", 0) == 0) {
        path.erase(0, 4);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    if (folder.size() == 2 && folder[1] == L':')
        folder += L'\\';  // a drive's root keeps its separator
    return WideToUtf8(folder);
}

void Win32Host::EndProgram() {
    ExitProcess(0);
}

void Win32Host::Dispatch(MSG& message) {
    if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
        if (Win32Window* top = TopLevelOf(message.hwnd); top && top->HandleKeyDown(message)) return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void Win32Host::DoEvents() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        Dispatch(message);
    }
}

void Win32Host::RunMessageLoop() {
    const bool never = false;
    RunMessagesUntil(never);
}

void Win32Host::RunMessagesUntil(const bool& done) {
    MSG message;
    while (!done) {
        const BOOL result = GetMessageW(&message, nullptr, 0, 0);
        if (result <= 0) {
            // An outer loop, if any, ends on the same quit message.
            if (result == 0) PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        Dispatch(message);
    }
}

double Win32Host::SecondsSinceMidnight() {
    SYSTEMTIME time;
    GetLocalTime(&time);
    return time.wHour * 3600.0 + time.wMinute * 60.0 + time.wSecond + time.wMilliseconds / 1000.0;
}

Rect Win32Host::VirtualScreen() {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
            top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

std::int32_t Win32Host::ScreenWidth() {
    return GetSystemMetrics(SM_CXSCREEN);
}
std::int32_t Win32Host::ScreenHeight() {
    return GetSystemMetrics(SM_CYSCREEN);
}

namespace {
std::int32_t TwipsPerPixel(int axis) {
    HDC screen = ::GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, axis);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? 1440 / dpi : 15;
}
}  // namespace

std::int32_t Win32Host::TwipsPerPixelX() {
    return TwipsPerPixel(LOGPIXELSX);
}
std::int32_t Win32Host::TwipsPerPixelY() {
    return TwipsPerPixel(LOGPIXELSY);
}

namespace {
BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        const RECT& r = info.rcMonitor;
        reinterpret_cast<std::vector<Rect>*>(list)->push_back({r.left, r.top, r.right, r.bottom});
    }
    return TRUE;
}
}  // namespace

std::vector<Rect> Win32Host::DisplayMonitors() {
    std::vector<Rect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

std::int32_t Win32Host::GetDibSection(Handle bitmap, DibSection* section) {
    // GetObjectA reports every DIB section's height as positive, whichever way its rows run; the
    // row order is known only for the panels' images, which are made top-down.
    HBITMAP handle = reinterpret_cast<HBITMAP>(bitmap);
    DIBSECTION dib{};
    if (!IsPanelImage(handle) || ::GetObjectA(handle, sizeof dib, &dib) != sizeof dib) return 0;
    GdiFlush();
    const LONG rows = dib.dsBmih.biHeight < 0 ? dib.dsBmih.biHeight : -dib.dsBmih.biHeight;
    *section = {dib.dsBm.bmWidth, rows, dib.dsBm.bmWidthBytes, dib.dsBm.bmBitsPixel,
                dib.dsBm.bmBits};
    return 1;
}

std::unique_ptr<Window> Win32Host::CreateTopLevelWindow(WindowKind kind) {
    return std::make_unique<Win32Window>(*this, kind);
}

std::unique_ptr<Timer> Win32Host::CreateTimer() {
    return std::make_unique<Win32Timer>();
}

Handle Win32Host::LoadBitmapResource(int resourceId) {
    auto found = bitmaps_.find(resourceId);
    if (found == bitmaps_.end()) {
        HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(instance_, MAKEINTRESOURCEA(resourceId),
                                                         IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (!bitmap) return 0;
        found = bitmaps_.emplace(resourceId, bitmap).first;
    }
    return FromPointer(found->second);
}

void Win32Host::SetMousePointer(MousePointer pointer) {
    pointer_ = pointer;
    POINT cursor;
    // Show the change at once, not only when the mouse next moves.
    if (::GetCursorPos(&cursor)) {
        HCURSOR shown = ApplicationCursor();
        ::SetCursor(shown ? shown : LoadCursor(nullptr, IDC_ARROW));
    }
}

void Win32Host::UsePhysicalPixels() {
    HMODULE user = GetModuleHandleA("user32.dll");
    using SetContext = BOOL(WINAPI*)(HANDLE);
    if (auto setContext = reinterpret_cast<SetContext>(
            reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDpiAwarenessContext")))) {
        // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
        if (setContext(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4)))) return;
    }
    SetProcessDPIAware();
}

Handle Win32Host::FindWindowA(const char* className, const char* windowName) {
    return FromPointer(::FindWindowA(className, windowName));
}

std::int32_t Win32Host::GetWindowRect(Handle window, Rect* rect) {
    RECT r{};
    const BOOL ok = ::GetWindowRect(ToHwnd(window), &r);
    *rect = ok ? Rect{r.left, r.top, r.right, r.bottom} : Rect{};
    return ok;
}

std::int32_t Win32Host::GetWindowLongA(Handle window, std::int32_t index) {
    return ::GetWindowLongA(ToHwnd(window), index);
}

std::int32_t Win32Host::SetWindowLongA(Handle window, std::int32_t index, std::int32_t value) {
    return ::SetWindowLongA(ToHwnd(window), index, value);
}

Handle Win32Host::SetParent(Handle child, Handle newParent) {
    return FromPointer(::SetParent(ToHwnd(child), ToHwnd(newParent)));
}

std::int32_t Win32Host::SetWindowPos(Handle window, Handle insertAfter, std::int32_t x,
                                     std::int32_t y, std::int32_t cx, std::int32_t cy,
                                     std::uint32_t flags) {
    return ::SetWindowPos(ToHwnd(window), ToHwnd(insertAfter), x, y, cx, cy, flags);
}

std::int32_t Win32Host::PostMessageA(Handle window, std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam) {
    return ::PostMessageA(ToHwnd(window), message, wParam, lParam);
}

std::int32_t Win32Host::IsWindow(Handle window) {
    return ::IsWindow(ToHwnd(window));
}

Handle Win32Host::GetDesktopWindow() {
    return FromPointer(::GetDesktopWindow());
}

Handle Win32Host::GetDC(Handle window) {
    return FromPointer(::GetDC(ToHwnd(window)));
}

std::int32_t Win32Host::ReleaseDC(Handle window, Handle dc) {
    return ::ReleaseDC(ToHwnd(window), ToHdc(dc));
}

std::int32_t Win32Host::ShowCursor(std::int32_t show) {
    return ::ShowCursor(show);
}

std::int32_t Win32Host::GetCursorPos(Point* point) {
    POINT p{};
    const BOOL ok = ::GetCursorPos(&p);
    if (ok) *point = {p.x, p.y};
    return ok;
}

Handle Win32Host::WindowFromPoint(Point point) {
    return FromPointer(::WindowFromPoint(POINT{point.x, point.y}));
}

std::int32_t Win32Host::SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam,
                                              void* pvParam, std::uint32_t winIni) {
    return ::SystemParametersInfoA(action, uiParam, pvParam, winIni);
}

std::int32_t Win32Host::DrawAnimatedRects(Handle window, std::int32_t animation, const Rect* from,
                                          const Rect* to) {
    const RECT a{from->left, from->top, from->right, from->bottom};
    const RECT b{to->left, to->top, to->right, to->bottom};
    return ::DrawAnimatedRects(ToHwnd(window), animation, &a, &b);
}

std::int32_t Win32Host::MessageBoxW(Handle owner, const std::string& text,
                                    const std::string& caption, std::uint32_t type) {
    return ::MessageBoxW(ToHwnd(owner), Widen(text).c_str(), Widen(caption).c_str(), type);
}

std::int32_t Win32Host::BitBlt(Handle dc, std::int32_t x, std::int32_t y, std::int32_t cx,
                               std::int32_t cy, Handle sourceDc, std::int32_t x1, std::int32_t y1,
                               std::uint32_t rop) {
    return ::BitBlt(ToHdc(dc), x, y, cx, cy, ToHdc(sourceDc), x1, y1, rop);
}

std::int32_t Win32Host::StretchBlt(Handle dc, std::int32_t x, std::int32_t y, std::int32_t cx,
                                   std::int32_t cy, Handle sourceDc, std::int32_t x1,
                                   std::int32_t y1, std::int32_t cx1, std::int32_t cy1,
                                   std::uint32_t rop) {
    return ::StretchBlt(ToHdc(dc), x, y, cx, cy, ToHdc(sourceDc), x1, y1, cx1, cy1, rop);
}

Handle Win32Host::CreateCompatibleDC(Handle dc) {
    return FromPointer(::CreateCompatibleDC(ToHdc(dc)));
}

Handle Win32Host::SelectObject(Handle dc, Handle object) {
    return FromPointer(::SelectObject(ToHdc(dc), reinterpret_cast<HGDIOBJ>(object)));
}

std::int32_t Win32Host::DeleteDC(Handle dc) {
    return ::DeleteDC(ToHdc(dc));
}

std::int32_t Win32Host::GetObjectA(Handle bitmap, BitmapRecord* record) {
    BITMAP info{};
    const int result = ::GetObjectA(reinterpret_cast<HGDIOBJ>(bitmap), sizeof info, &info);
    if (result) *record = {info.bmWidth, info.bmHeight, info.bmBitsPixel};
    return result;
}

std::int32_t Win32Host::GetDIBits(Handle dc, Handle bitmap, std::uint32_t start,
                                  std::uint32_t lines, void* bits, BitmapInfo* info,
                                  std::uint32_t usage) {
    return ::GetDIBits(ToHdc(dc), reinterpret_cast<HBITMAP>(bitmap), start, lines, bits,
                       reinterpret_cast<BITMAPINFO*>(info), usage);
}

std::int32_t Win32Host::SetDIBits(Handle dc, Handle bitmap, std::uint32_t start,
                                  std::uint32_t lines, const void* bits, const BitmapInfo* info,
                                  std::uint32_t usage) {
    return ::SetDIBits(ToHdc(dc), reinterpret_cast<HBITMAP>(bitmap), start, lines, bits,
                       reinterpret_cast<const BITMAPINFO*>(info), usage);
}

std::int32_t Win32Host::StretchDIBits(Handle dc, std::int32_t x, std::int32_t y, std::int32_t width,
                                      std::int32_t height, std::int32_t sourceX,
                                      std::int32_t sourceY, std::int32_t sourceWidth,
                                      std::int32_t sourceHeight, const void* bits,
                                      const BitmapInfo* info, std::uint32_t usage,
                                      std::uint32_t rop) {
    return ::StretchDIBits(ToHdc(dc), x, y, width, height, sourceX, sourceY, sourceWidth,
                           sourceHeight, bits, reinterpret_cast<const BITMAPINFO*>(info), usage,
                           rop);
}

std::int32_t Win32Host::GradientFill(Handle dc, const TriVertex* vertices,
                                     std::uint32_t vertexCount, const GradientRect* rects,
                                     std::uint32_t rectCount, std::uint32_t mode) {
    return ::GradientFill(ToHdc(dc), reinterpret_cast<TRIVERTEX*>(const_cast<TriVertex*>(vertices)),
                          vertexCount, const_cast<GradientRect*>(rects), rectCount, mode);
}

std::int32_t Win32Host::GetVersionExA(OsVersionInfo* info) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(info));
#pragma GCC diagnostic pop
}

namespace {
// A function of a system library that only some systems have, looked up when first needed.
template <typename Function>
Function LoadOptional(const char* library, const char* name) {
    HMODULE module = LoadLibraryA(library);
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
}  // namespace

std::int32_t Win32Host::VerifyScreenSavePwd(Handle window) {
    using Verify = BOOL(WINAPI*)(HWND);
    static const Verify verify = LoadOptional<Verify>("password.cpl", "VerifyScreenSavePwd");
    return verify ? verify(ToHwnd(window)) : 1;
}

void Win32Host::PwdChangePasswordA(const char* provider, Handle window, std::uint32_t reserved1,
                                   std::uint32_t reserved2) {
    using Change = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
    static const Change change = LoadOptional<Change>("mpr.dll", "PwdChangePasswordA");
    if (change)
        change(provider, ToHwnd(window), reserved1,
               reinterpret_cast<LPVOID>(std::uintptr_t{reserved2}));
}

Handle Win32Host::ShellExecuteA(Handle window, const char* operation, const char* file,
                                const char* parameters, const char* directory, std::int32_t show) {
    return FromPointer(
        ::ShellExecuteA(ToHwnd(window), operation, file, parameters, directory, show));
}

}  // namespace platform::win32
