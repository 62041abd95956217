// The host operations and window toolkit that the program is written against.
//
// Everything the windows, modules and controls need of Windows goes through `Host`: the named
// system calls keep their platform names (FindWindowA, GetWindowRect, StretchDIBits, ...) and take
// plain integers and records instead of the platform's types, and the toolkit pieces (windows,
// picture panels, labels, scroll bars, timers) are small interfaces. `win32/` implements them
// with the real API; `fake/` records calls and returns canned values for unit tests.
//
// Handles (windows, device contexts, bitmaps) are opaque integers; 0 means "none".
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

using Handle = std::uintptr_t;

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool operator==(const Rect&) const = default;
};

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const Size&) const = default;
};

// BITMAPINFO with a 40-byte BITMAPINFOHEADER and one RGBQUAD, laid out as the platform's record.
struct BitmapInfo {
    std::uint32_t biSize = 40;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 0;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
    std::uint8_t colours[4] = {};
};
static_assert(sizeof(BitmapInfo) == 44);

// The parts of the BITMAP record that GetObjectA fills and the program reads.
struct BitmapRecord {
    std::int32_t bmWidth = 0;
    std::int32_t bmHeight = 0;
    std::int32_t bmBitsPixel = 0;
};

// What GetObjectA reports of a DIB section (DIBSECTION): the session reads its pixels from here,
// since GetDIBits may not be given a bitmap that is selected into a device context.
struct DibSection {
    std::int32_t width = 0;
    std::int32_t height = 0;  // biHeight: negative when the rows run top-down
    std::int32_t widthBytes = 0;
    std::int32_t bitsPixel = 0;
    const void* bits = nullptr;  // the first row in memory
};

// OSVERSIONINFOA: 148 bytes, dwOSVersionInfoSize set to 148 before the call.
struct OsVersionInfo {
    std::uint32_t dwOSVersionInfoSize = 148;
    std::uint32_t dwMajorVersion = 0;
    std::uint32_t dwMinorVersion = 0;
    std::uint32_t dwBuildNumber = 0;
    std::uint32_t dwPlatformId = 0;
    char szCSDVersion[128] = {};
};
static_assert(sizeof(OsVersionInfo) == 148);

// TRIVERTEX and GRADIENT_RECT for GradientFill.
struct TriVertex {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint16_t red = 0;
    std::uint16_t green = 0;
    std::uint16_t blue = 0;
    std::uint16_t alpha = 0;
    bool operator==(const TriVertex&) const = default;
};
struct GradientRect {
    std::uint32_t upperLeft = 0;
    std::uint32_t lowerRight = 0;
    bool operator==(const GradientRect&) const = default;
};

// Constants of the platform, named after it with a k prefix (the win32 layer checks that each
// equals the real value).
inline constexpr std::int32_t kGwlStyle = -16;
inline constexpr std::uint32_t kWsChild = 0x40000000u;
inline constexpr std::uint32_t kWsPopup = 0x80000000u;
inline constexpr Handle kHwndTopmost = static_cast<Handle>(-1);
inline constexpr std::uint32_t kSwpNoSize = 0x0001, kSwpNoMove = 0x0002, kSwpNoActivate = 0x0010;
inline constexpr std::uint32_t kSrcCopy = 0x00CC0020u;
inline constexpr std::uint32_t kDibRgbColors = 0, kDibPalColors = 1;
inline constexpr std::uint32_t kWmClose = 0x0010;
inline constexpr std::uint32_t kSpiSetScreenSaveActive = 17;
inline constexpr std::uint32_t kSpiScreenSaverRunning = 97;
inline constexpr std::int32_t kIdaniCaption = 3;
inline constexpr std::int32_t kSwShowNormal = 1;
inline constexpr std::uint32_t kVerPlatformWin32Nt = 2;
inline constexpr std::uint32_t kMbOk = 0;
inline constexpr std::uint32_t kGradientFillRectV = 1;

// The application-wide mouse pointer and per-control pointers.
enum class MousePointer { Default, Hourglass, Hand };

// A font as the controls describe it; the face name is UTF-8.
struct Font {
    std::string faceName;
    double points = 9.75;
    std::int32_t weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    std::int32_t charset = 128;
    bool operator==(const Font&) const = default;
};

// Mouse button codes as the handlers receive them.
inline constexpr int kLeftButton = 1, kRightButton = 2, kMiddleButton = 4;

// The shift state the key and mouse handlers receive: these added up for the keys held.
inline constexpr int kShiftMask = 1, kCtrlMask = 2, kAltMask = 4;
// Key codes as the key handlers receive them (the platform's virtual-key codes).
inline constexpr int kVkTab = 0x09, kVkEscape = 0x1B;

// A message timer on the user-interface thread. Intervals are milliseconds, 0 to 65535; an
// interval of 0 delivers no ticks.
class Timer {
  public:
    virtual ~Timer() = default;
    // Returns false, and keeps the old interval, for a value the timer cannot take.
    virtual bool SetInterval(std::int64_t milliseconds) = 0;
    virtual std::int32_t Interval() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;
    std::function<void()> onTick;
};

// A child control with a window of its own (or, for labels, painted by its parent).
class Control {
  public:
    virtual ~Control() = default;
    virtual Handle hWnd() const = 0;
    // Position and size in pixels, relative to the parent's client area.
    virtual void Move(std::int32_t left, std::int32_t top, std::int32_t width,
                      std::int32_t height) = 0;
    virtual Rect Bounds() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Visible() const = 0;
};

// Mouse notifications: button code (kLeftButton ...), shift state, x and y in pixels.
using MouseHandler = std::function<void(int button, int shift, int x, int y)>;

// A picture panel with a persistent off-screen image: drawing into hDC() stays, and the panel
// repaints itself from that image. The image always has the panel's inner size.
class PicturePanel : public Control {
  public:
    virtual Handle hDC() = 0;                              // device context of the persistent image
    virtual Handle ImageHandle() = 0;                      // bitmap of the persistent image
    virtual void SetBackColour(std::uint32_t colour) = 0;  // 0x00BBGGRR
    virtual void Clear() = 0;    // fill the image with the background colour
    virtual void Refresh() = 0;  // put the image on the screen now
    // Takes a copy of a bitmap as the panel's picture and sizes the panel to it; 0 clears the
    // picture (the image then shows the background colour).
    virtual void SetPicture(Handle bitmap) = 0;
    virtual void SetMousePointer(MousePointer pointer) = 0;
    virtual void SetFocus() = 0;
    std::function<void()> onClick;
    MouseHandler onMouseDown, onMouseMove, onMouseUp;
    std::function<void()> onGotFocus, onLostFocus;
};

// A windowless label drawn over its parent panel's image (transparent background).
class Label : public Control {
  public:
    virtual void SetText(const std::string& utf8) = 0;
    virtual std::string Text() const = 0;
    virtual void SetFont(const Font& font) = 0;
    virtual void SetTextColour(std::uint32_t colour) = 0;
    virtual void SetCentred(bool centred) = 0;
    virtual void SetEnabled(bool enabled) = 0;  // a disabled label's text shows greyed
    virtual void SetMousePointer(MousePointer pointer) = 0;
    // The size of the text on one line in the label's font, in pixels (0 x 0 without a text).
    virtual Size TextExtent() const = 0;
    std::function<void()> onClick;
    MouseHandler onMouseDown, onMouseMove, onMouseUp;
};

// An image control: shows a picture at its own size from the top-left corner, never scaled.
class ImageControl : public Control {
  public:
    virtual void SetPicture(Handle bitmap) = 0;
};

// A horizontal scroll bar. SetValue refuses (returns false) a value outside the range.
class ScrollBar : public Control {
  public:
    virtual void SetRange(std::int32_t minimum, std::int32_t maximum) = 0;
    virtual void SetSteps(std::int32_t small, std::int32_t large) = 0;
    virtual bool SetValue(std::int64_t value) = 0;
    virtual std::int32_t Value() const = 0;
    std::function<void()> onChange;  // value changed (arrows, trough, keys, thumb released, code)
    std::function<void()> onScroll;  // thumb being dragged
};

enum class WindowKind {
    Borderless,   // no border or title bar (session and preview)
    FixedDialog,  // fixed frame, title bar, close box, no minimise or maximise box
};

enum class BorderStyle { None, Sunken };

// A top-level window. Its child controls are created through it.
class Window {
  public:
    virtual ~Window() = default;
    virtual Handle hWnd() const = 0;
    virtual void SetTitle(const std::string& text) = 0;
    // Outer position and size in screen pixels.
    virtual void Move(std::int32_t left, std::int32_t top, std::int32_t width,
                      std::int32_t height) = 0;
    // Sizes the window so that its client area is exactly width x height pixels.
    virtual void SetClientSize(std::int32_t width, std::int32_t height) = 0;
    virtual Rect ClientRect() const = 0;
    virtual void SetBackColour(std::uint32_t colour) = 0;
    virtual void SetIcon(int resourceId) = 0;
    virtual void Show() = 0;       // show without waiting
    virtual void ShowModal() = 0;  // show, and return when the window has closed
    virtual void Close() = 0;      // unload: onUnload runs, then the window goes
    // The process ends when this window is destroyed, however that happens.
    virtual void EndProgramWhenDestroyed() = 0;
    // The dots per inch the window is shown at (96 at 100 %). Its labels' fonts follow it.
    virtual std::int32_t Dpi() const = 0;

    // Child controls; parent nullptr means the window itself.
    virtual std::unique_ptr<PicturePanel> CreatePicturePanel(PicturePanel* parent,
                                                             BorderStyle border) = 0;
    // A label is drawn by its panel: without one (nullptr) there is no label.
    virtual std::unique_ptr<Label> CreateLabel(PicturePanel* parent) = 0;
    virtual std::unique_ptr<ImageControl> CreateImageControl(PicturePanel* parent) = 0;
    virtual std::unique_ptr<ScrollBar> CreateScrollBar(PicturePanel* parent) = 0;

    // Tab and Shift+Tab move the focus through these controls (by window handle) in this order,
    // round again after the last, skipping one that is hidden or disabled. The first takes the
    // focus when the window is activated, unless one of them had it when it was last deactivated:
    // that one has it again.
    virtual void SetTabOrder(std::vector<Handle> controls) = 0;

    // Key presses reach onKeyDown first, whichever child has the focus. It answers true when it
    // took the key (nothing else sees it), false to let it go on: to the tab order for Tab and
    // Shift+Tab, otherwise to the control with the focus (or the system, as for Alt+F4).
    std::function<bool(int keyCode, int shift)> onKeyDown;
    MouseHandler onMouseDown;
    std::function<void()> onUnload;
    // The monitors may have changed: their number, arrangement or resolution, the work area, or
    // the scale of the monitor the window is on.
    std::function<void()> onDisplayChange;
    // The window has moved to a monitor of another scale: Dpi() gives the new one, the labels'
    // fonts are made again for it, and `suggested` is the outer rectangle the system proposes at
    // that scale. Without a handler the window takes that rectangle, unless it follows the display
    // changes itself (onDisplayChange, which runs after either).
    std::function<void(const Rect& suggested)> onDpiChanged;
};

// The host: process services, the named system calls, and the toolkit's factories.
class Host {
  public:
    virtual ~Host() = default;

    // Process.
    virtual std::string CommandLine() = 0;    // everything after the program's name
    virtual std::string ProgramFolder() = 0;  // no trailing separator except a drive's root
    virtual void EndProgram() = 0;            // ends at once; runs no unload handler; never returns
    virtual void DoEvents() = 0;              // runs pending window messages
    virtual void RunMessageLoop() = 0;        // until the program ends
    virtual double SecondsSinceMidnight() = 0;

    // Screen, in pixels; the session covers the whole virtual screen.
    virtual Rect VirtualScreen() = 0;
    virtual std::int32_t ScreenWidth() = 0;
    virtual std::int32_t ScreenHeight() = 0;
    // The screen's factors, 1440 / dots per inch: 15 at 96, 7.5 at 192 (not rounded).
    virtual double TwipsPerPixelX() = 0;
    virtual double TwipsPerPixelY() = 0;

    // Monitors: each one's rectangle (rcMonitor from EnumDisplayMonitors and GetMonitorInfoA) in
    // virtual-screen pixels, in the order the system lists them; negative left of or above the
    // primary. Empty when the system lists none. Fills `monitors` in place, so that asking again
    // with the same vector allocates nothing while the number of monitors stays.
    virtual void DisplayMonitors(std::vector<Rect>& monitors) = 0;
    // GetObjectA with a DIBSECTION: nonzero, and `section` filled, when `bitmap` is a DIB section
    // whose row order the host knows (a panel's persistent image); 0 for any other bitmap.
    // Drawing still queued for it is done first (GdiFlush), so its bits are current.
    virtual std::int32_t GetDibSection(Handle bitmap, DibSection* section) = 0;

    // Toolkit.
    virtual std::unique_ptr<Window> CreateTopLevelWindow(WindowKind kind) = 0;
    virtual std::unique_ptr<Timer> CreateTimer() = 0;
    // A picture resource at `size` (owned by the host; 0 when missing): the picture drawn at the
    // size nearest to it (resource_ids.h), smoothly resized where none is drawn at that size.
    virtual Handle LoadBitmapResource(int resourceId, Size size) = 0;
    virtual void SetMousePointer(MousePointer pointer) = 0;  // application-wide
    // Work in physical pixels on scaled displays (per-monitor DPI awareness), so that a capture
    // of the screen is the whole screen at full resolution. Call before creating any window.
    // Veltrane.scr's manifest already declares it for every mode; this keeps a session right in
    // a process that has no such manifest (the benchmarks), and changes nothing where it has.
    virtual void UsePhysicalPixels() = 0;

    // user32.
    virtual Handle FindWindowA(const char* className, const char* windowName) = 0;
    virtual std::int32_t GetWindowRect(Handle window, Rect* rect) = 0;
    virtual std::int32_t GetWindowLongA(Handle window, std::int32_t index) = 0;
    virtual std::int32_t SetWindowLongA(Handle window, std::int32_t index, std::int32_t value) = 0;
    virtual Handle SetParent(Handle child, Handle newParent) = 0;
    virtual std::int32_t SetWindowPos(Handle window, Handle insertAfter, std::int32_t x,
                                      std::int32_t y, std::int32_t cx, std::int32_t cy,
                                      std::uint32_t flags) = 0;
    virtual std::int32_t PostMessageA(Handle window, std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam) = 0;
    virtual std::int32_t IsWindow(Handle window) = 0;
    virtual Handle GetDesktopWindow() = 0;
    virtual Handle GetDC(Handle window) = 0;
    virtual std::int32_t ReleaseDC(Handle window, Handle dc) = 0;
    virtual std::int32_t ShowCursor(std::int32_t show) = 0;
    virtual std::int32_t GetCursorPos(Point* point) = 0;
    virtual Handle WindowFromPoint(Point point) = 0;
    virtual std::int32_t SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam,
                                               void* pvParam, std::uint32_t winIni) = 0;
    virtual std::int32_t DrawAnimatedRects(Handle window, std::int32_t animation, const Rect* from,
                                           const Rect* to) = 0;
    // Text and caption are UTF-8; the box shows them through the wide API on every code page.
    virtual std::int32_t MessageBoxW(Handle owner, const std::string& text,
                                     const std::string& caption, std::uint32_t type) = 0;

    // gdi32.
    virtual std::int32_t BitBlt(Handle dc, std::int32_t x, std::int32_t y, std::int32_t cx,
                                std::int32_t cy, Handle sourceDc, std::int32_t x1, std::int32_t y1,
                                std::uint32_t rop) = 0;
    virtual std::int32_t StretchBlt(Handle dc, std::int32_t x, std::int32_t y, std::int32_t cx,
                                    std::int32_t cy, Handle sourceDc, std::int32_t x1,
                                    std::int32_t y1, std::int32_t cx1, std::int32_t cy1,
                                    std::uint32_t rop) = 0;
    virtual Handle CreateCompatibleDC(Handle dc) = 0;
    virtual Handle SelectObject(Handle dc, Handle object) = 0;
    virtual std::int32_t DeleteDC(Handle dc) = 0;
    virtual std::int32_t GetObjectA(Handle bitmap, BitmapRecord* record) = 0;
    virtual std::int32_t GetDIBits(Handle dc, Handle bitmap, std::uint32_t start,
                                   std::uint32_t lines, void* bits, BitmapInfo* info,
                                   std::uint32_t usage) = 0;
    virtual std::int32_t SetDIBits(Handle dc, Handle bitmap, std::uint32_t start,
                                   std::uint32_t lines, const void* bits, const BitmapInfo* info,
                                   std::uint32_t usage) = 0;
    virtual std::int32_t StretchDIBits(Handle dc, std::int32_t x, std::int32_t y,
                                       std::int32_t width, std::int32_t height,
                                       std::int32_t sourceX, std::int32_t sourceY,
                                       std::int32_t sourceWidth, std::int32_t sourceHeight,
                                       const void* bits, const BitmapInfo* info,
                                       std::uint32_t usage, std::uint32_t rop) = 0;
    virtual std::int32_t GradientFill(Handle dc, const TriVertex* vertices,
                                      std::uint32_t vertexCount, const GradientRect* rects,
                                      std::uint32_t rectCount, std::uint32_t mode) = 0;

    // kernel32.
    virtual std::int32_t GetVersionExA(OsVersionInfo* info) = 0;

    // Screen-saver password services of the Windows 9x family, loaded at run time. When the
    // service cannot be loaded, VerifyScreenSavePwd answers nonzero (nothing to verify).
    virtual std::int32_t VerifyScreenSavePwd(Handle window) = 0;
    virtual void PwdChangePasswordA(const char* provider, Handle window, std::uint32_t reserved1,
                                    std::uint32_t reserved2) = 0;

    // shell32.
    virtual Handle ShellExecuteA(Handle window, const char* operation, const char* file,
                                 const char* parameters, const char* directory,
                                 std::int32_t show) = 0;
};

}  // namespace platform
