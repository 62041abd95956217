#include "platform/win32/win32_host.h"

#include <cstdlib>
#include <vector>

#include "platform/scaling.h"
#include "platform/win32/wide_path.h"
#include "platform/win32/win32_gdi.h"
#include "platform/win32/win32_panel.h"
#include "platform/win32/win32_timer.h"
#include "platform/win32/win32_window.h"
#include "resource_ids.h"

namespace platform::win32 {

Win32Host::Win32Host(HINSTANCE instance) : instance_(instance) {
    RegisterWindowClasses(instance);
}

Win32Host::~Win32Host() {
    for (const auto& [id, bitmap] : bitmaps_)
        if (bitmap) DeleteObject(bitmap);
}

HCURSOR Win32Host::CursorFor(MousePointer pointer) const {
    switch (pointer) {
        case MousePointer::Hourglass:
            return LoadCursor(nullptr, IDC_WAIT);
        case MousePointer::Hand: {
            // The program's own hand cursor when it has one, the system's otherwise.
            HCURSOR hand = LoadCursor(instance_, MAKEINTRESOURCE(IDC_HAND_CURSOR));
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
double TwipsPerPixel(int axis) {
    const int dpi = GetDeviceCaps(WindowDc().get(), axis);
    return dpi > 0 ? static_cast<double>(kTwipsPerInch) / dpi : 15.0;
}
}  // namespace

double Win32Host::TwipsPerPixelX() {
    return TwipsPerPixel(LOGPIXELSX);
}
double Win32Host::TwipsPerPixelY() {
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

void Win32Host::DisplayMonitors(std::vector<Rect>& monitors) {
    monitors.clear();
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
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

HBITMAP Win32Host::StoredBitmap(int resourceId) {
    auto found = bitmaps_.find(resourceId);
    if (found == bitmaps_.end()) {
        HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(instance_, MAKEINTRESOURCEA(resourceId),
                                                         IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        found = bitmaps_.emplace(resourceId, bitmap).first;
    }
    return found->second;
}

Handle Win32Host::LoadBitmapResource(int resourceId, Size size) {
    if (size.width <= 0 || size.height <= 0) return 0;
    const auto key = std::make_tuple(resourceId, size.width, size.height);
    if (const auto found = resized_.find(key); found != resized_.end())
        return FromPointer(found->second.get());

    // The picture as drawn at each scale the program carries it at.
    std::vector<HBITMAP> drawn;
    std::vector<Size> sizes;
    for (int k = 0; k < static_cast<int>(std::size(kPictureScalePercent)); ++k) {
        BITMAP record{};
        HBITMAP bitmap = StoredBitmap(ScaledPictureId(resourceId, k));
        if (!bitmap || !GetObjectW(bitmap, sizeof record, &record)) continue;
        drawn.push_back(bitmap);
        sizes.push_back({record.bmWidth, std::abs(record.bmHeight)});
    }
    if (drawn.empty()) return 0;
    const std::size_t nearest = NearestPicture(sizes, size);
    if (sizes[nearest] == size) return FromPointer(drawn[nearest]);

    // Between the drawn scales: the nearest picture, smoothly resized.
    const Size from = sizes[nearest];
    std::vector<std::uint8_t> source(std::size_t(from.width) * from.height * 4);
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof info.bmiHeader, from.width, -from.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    if (!::GetDIBits(CompatibleDc(nullptr).get(), drawn[nearest], 0, from.height, source.data(),
                     &info, DIB_RGB_COLORS))
        return 0;
    info.bmiHeader.biWidth = size.width;
    info.bmiHeader.biHeight = -size.height;
    void* bits = nullptr;
    GdiObject<HBITMAP> resized(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!resized) return 0;
    ResizeSmooth(source.data(), from, static_cast<std::uint8_t*>(bits), size);
    return FromPointer(resized_.emplace(key, std::move(resized)).first->second.get());
}

void Win32Host::SetMousePointer(MousePointer pointer) {
    pointer_ = pointer;
    // Show the change at once, not only when the mouse next moves: a window of ours under the
    // cursor picks its pointer as it would for a move (a panel gives its label's hand), any
    // other place shows the application's pointer or the arrow.
    POINT cursor;
    if (!::GetCursorPos(&cursor)) return;
    HWND under = ::WindowFromPoint(cursor);
    if (under && GetWindowThreadProcessId(under, nullptr) == GetCurrentThreadId()) {
        const LRESULT hit = SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y));
        SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                     MAKELPARAM(static_cast<WORD>(hit), WM_MOUSEMOVE));
        return;
    }
    HCURSOR shown = ApplicationCursor();
    ::SetCursor(shown ? shown : LoadCursor(nullptr, IDC_ARROW));
}

void Win32Host::UsePhysicalPixels() {
    HMODULE user = GetModuleHandleA("user32.dll");
    using SetContext = BOOL(WINAPI*)(HANDLE);
    if (auto setContext = reinterpret_cast<SetContext>(
            reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDpiAwarenessContext")))) {
        // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, else _PER_MONITOR_AWARE. Both fail where
        // the manifest has already made the process aware; the older call is not tried then, so
        // that it cannot take the process down to one system-wide scale.
        if (!setContext(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4))))
            setContext(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-3)));
        return;
    }
    SetProcessDPIAware();
}

}  // namespace platform::win32
