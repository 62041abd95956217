// The named system calls of the host, passed straight to the system: the platform's constants
// and records are checked here against the system's own.
#include "platform/win32/win32_host.h"
#include "platform/win32/win32_panel.h"
// shellapi.h needs windows.h first.
#include <shellapi.h>

// msimg32's GradientFill only forwards to this gdi32 export. Taking it from gdi32 keeps msimg32,
// which Windows does not load from System32 by rule, out of the import table, so that no
// msimg32.dll placed beside the program can run in its process.
extern "C" __declspec(dllimport) BOOL WINAPI
    GdiGradientFill(HDC dc, PTRIVERTEX vertices, ULONG vertexCount, PVOID mesh, ULONG meshCount,
                    ULONG mode);

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
    const PanelImageFreed freed(reinterpret_cast<HBITMAP>(bitmap));
    return ::GetDIBits(ToHdc(dc), reinterpret_cast<HBITMAP>(bitmap), start, lines, bits,
                       reinterpret_cast<BITMAPINFO*>(info), usage);
}

std::int32_t Win32Host::SetDIBits(Handle dc, Handle bitmap, std::uint32_t start,
                                  std::uint32_t lines, const void* bits, const BitmapInfo* info,
                                  std::uint32_t usage) {
    const PanelImageFreed freed(reinterpret_cast<HBITMAP>(bitmap));
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
    return ::GdiGradientFill(ToHdc(dc),
                             reinterpret_cast<TRIVERTEX*>(const_cast<TriVertex*>(vertices)),
                             vertexCount, const_cast<GradientRect*>(rects), rectCount, mode);
}

std::int32_t Win32Host::GetVersionExA(OsVersionInfo* info) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(info));
#pragma GCC diagnostic pop
}

namespace {
// A function of a system library that only some systems have, looked up when first needed. The
// library comes from System32 only, never from the program's folder or the current one.
template <typename Function>
Function LoadOptional(const wchar_t* library, const char* name) {
    HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
}  // namespace

std::int32_t Win32Host::VerifyScreenSavePwd(Handle window) {
    using Verify = BOOL(WINAPI*)(HWND);
    static const Verify verify = LoadOptional<Verify>(L"password.cpl", "VerifyScreenSavePwd");
    return verify ? verify(ToHwnd(window)) : 1;
}

void Win32Host::PwdChangePasswordA(const char* provider, Handle window, std::uint32_t reserved1,
                                   std::uint32_t reserved2) {
    using Change = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
    static const Change change = LoadOptional<Change>(L"mpr.dll", "PwdChangePasswordA");
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
