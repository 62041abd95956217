// The real host: the platform interface on top of the Win32 API.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <tuple>

#include "platform/platform.h"
#include "platform/win32/wide_path.h"
#include "platform/win32/win32_gdi.h"

namespace platform::win32 {

class Win32Host : public Host {
  public:
    explicit Win32Host(HINSTANCE instance);
    ~Win32Host() override;

    HINSTANCE Instance() const { return instance_; }
    // The pointer that the whole application shows (hourglass while busy), or nullptr.
    HCURSOR ApplicationCursor() const;
    HCURSOR CursorFor(MousePointer pointer) const;

    std::string CommandLine() override;
    std::string ProgramFolder() override;
    void EndProgram() override;
    void DoEvents() override;
    void RunMessageLoop() override;
    // Runs window messages until `done` is true; a quit message ends it and stays queued.
    void RunMessagesUntil(const bool& done);
    double SecondsSinceMidnight() override;
    Rect VirtualScreen() override;
    std::int32_t ScreenWidth() override;
    std::int32_t ScreenHeight() override;
    double TwipsPerPixelX() override;
    double TwipsPerPixelY() override;

    void DisplayMonitors(std::vector<Rect>& monitors) override;
    std::int32_t GetDibSection(Handle bitmap, DibSection* section) override;

    std::unique_ptr<Window> CreateTopLevelWindow(WindowKind kind) override;
    std::unique_ptr<Timer> CreateTimer() override;
    Handle LoadBitmapResource(int resourceId, Size size) override;
    void SetMousePointer(MousePointer pointer) override;
    void UsePhysicalPixels() override;

    Handle FindWindowA(const char* className, const char* windowName) override;
    std::int32_t GetWindowRect(Handle window, Rect* rect) override;
    std::int32_t GetWindowLongA(Handle window, std::int32_t index) override;
    std::int32_t SetWindowLongA(Handle window, std::int32_t index, std::int32_t value) override;
    Handle SetParent(Handle child, Handle newParent) override;
    std::int32_t SetWindowPos(Handle window, Handle insertAfter, std::int32_t x, std::int32_t y,
                              std::int32_t cx, std::int32_t cy, std::uint32_t flags) override;
    std::int32_t PostMessageA(Handle window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override;
    std::int32_t IsWindow(Handle window) override;
    Handle GetDesktopWindow() override;
    Handle GetDC(Handle window) override;
    std::int32_t ReleaseDC(Handle window, Handle dc) override;
    std::int32_t ShowCursor(std::int32_t show) override;
    std::int32_t GetCursorPos(Point* point) override;
    Handle WindowFromPoint(Point point) override;
    std::int32_t SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam, void* pvParam,
                                       std::uint32_t winIni) override;
    std::int32_t DrawAnimatedRects(Handle window, std::int32_t animation, const Rect* from,
                                   const Rect* to) override;
    std::int32_t MessageBoxW(Handle owner, const std::string& text, const std::string& caption,
                             std::uint32_t type) override;
    std::int32_t BitBlt(Handle dc, std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy,
                        Handle sourceDc, std::int32_t x1, std::int32_t y1,
                        std::uint32_t rop) override;
    std::int32_t StretchBlt(Handle dc, std::int32_t x, std::int32_t y, std::int32_t cx,
                            std::int32_t cy, Handle sourceDc, std::int32_t x1, std::int32_t y1,
                            std::int32_t cx1, std::int32_t cy1, std::uint32_t rop) override;
    Handle CreateCompatibleDC(Handle dc) override;
    Handle SelectObject(Handle dc, Handle object) override;
    std::int32_t DeleteDC(Handle dc) override;
    std::int32_t GetObjectA(Handle bitmap, BitmapRecord* record) override;
    std::int32_t GetDIBits(Handle dc, Handle bitmap, std::uint32_t start, std::uint32_t lines,
                           void* bits, BitmapInfo* info, std::uint32_t usage) override;
    std::int32_t SetDIBits(Handle dc, Handle bitmap, std::uint32_t start, std::uint32_t lines,
                           const void* bits, const BitmapInfo* info, std::uint32_t usage) override;
    std::int32_t StretchDIBits(Handle dc, std::int32_t x, std::int32_t y, std::int32_t width,
                               std::int32_t height, std::int32_t sourceX, std::int32_t sourceY,
                               std::int32_t sourceWidth, std::int32_t sourceHeight,
                               const void* bits, const BitmapInfo* info, std::uint32_t usage,
                               std::uint32_t rop) override;
    std::int32_t GradientFill(Handle dc, const TriVertex* vertices, std::uint32_t vertexCount,
                              const GradientRect* rects, std::uint32_t rectCount,
                              std::uint32_t mode) override;
    std::int32_t GetVersionExA(OsVersionInfo* info) override;
    std::int32_t VerifyScreenSavePwd(Handle window) override;
    void PwdChangePasswordA(const char* provider, Handle window, std::uint32_t reserved1,
                            std::uint32_t reserved2) override;
    Handle ShellExecuteA(Handle window, const char* operation, const char* file,
                         const char* parameters, const char* directory, std::int32_t show) override;

  private:
    // Dispatches one message; key presses also go to the top-level window's key handler.
    void Dispatch(MSG& message);
    // A bitmap resource as stored (0 when there is none), loaded once.
    HBITMAP StoredBitmap(int resourceId);

    HINSTANCE instance_;
    MousePointer pointer_ = MousePointer::Default;
    std::map<int, HBITMAP> bitmaps_;
    std::map<std::tuple<int, std::int32_t, std::int32_t>, GdiObject<HBITMAP>> resized_;
};

// A text for the user in the UTF-16 the wide API takes (platform::WideToUtf8 goes back).
inline std::wstring Widen(const std::string& utf8) {
    return Utf8ToWide(utf8, BadUtf8::Replace);
}

inline HWND ToHwnd(Handle handle) {
    return reinterpret_cast<HWND>(handle);
}
inline HDC ToHdc(Handle handle) {
    return reinterpret_cast<HDC>(handle);
}
inline Handle FromPointer(const void* pointer) {
    return reinterpret_cast<Handle>(pointer);
}

// The top-level window object of a window handle, if it is one of ours; used for key preview.
class Win32Window;
Win32Window* TopLevelOf(HWND hwnd);
void RegisterWindowClasses(HINSTANCE instance);

}  // namespace platform::win32
