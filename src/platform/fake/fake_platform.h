// A recording fake of the host for unit tests.
//
// Every named system call appends one line to `calls` ("GetCursorPos", "ShowCursor(0)", ...) and
// returns a canned value that the test can set. The toolkit pieces keep their state in public
// fields so that a test can read what a handler did and fire events by calling the handlers. There
// is no message queue and no pixel emulation: what needs real windows or pixels is a Wine test.
#pragma once

#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/toolkit_rules.h"

namespace platform::fake {

// A call as the fake records it: "Name(a, b, c)", numbers in decimal and texts as they are;
// a call without arguments is just its name. Tests build the calls they expect with it too.
template <typename... Args>
std::string CallText(const char* name, const Args&... args) {
    std::ostringstream out;
    out << name;
    const char* separator = "(";
    auto append = [&](const auto& arg) {
        out << separator;
        separator = ", ";
        using T = std::decay_t<decltype(arg)>;
        if constexpr (std::is_array_v<std::remove_reference_t<decltype(arg)>>) {
            out << arg;  // a literal
        } else if constexpr (std::is_same_v<T, const char*> || std::is_same_v<T, char*>) {
            out << (arg ? arg : "null");
        } else if constexpr (std::is_same_v<T, std::string>) {
            out << arg;
        } else if constexpr (std::is_signed_v<T>) {
            out << static_cast<long long>(arg);
        } else {
            out << static_cast<unsigned long long>(arg);
        }
    };
    (append(args), ...);
    if constexpr (sizeof...(Args) > 0) out << ')';
    return out.str();
}

// Thrown by EndProgram so that a test can see that the program ended, and where.
struct ProgramEnded : std::runtime_error {
    ProgramEnded() : std::runtime_error("program ended") {}
};

class FakeHost;
class FakeLabel;

class FakeTimer : public Timer {
  public:
    FakeTimer() = default;
    bool SetInterval(std::int64_t milliseconds) override;
    std::int32_t Interval() const override { return interval; }
    void SetEnabled(bool value) override;
    bool Enabled() const override { return enabled; }
    // Delivers one tick as the message loop would: only while enabled with a nonzero interval.
    void Fire();

    std::int32_t interval = 0;
    bool enabled = false;
};

struct FakeControlState {
    Handle handle = 0;
    Rect bounds;
    bool visible = true;
};

// The placement every fake control keeps in `state`.
template <typename Base>
class FakeControl : public Base {
  public:
    Handle hWnd() const override { return state.handle; }
    void Move(std::int32_t left, std::int32_t top, std::int32_t width,
              std::int32_t height) override {
        state.bounds = {left, top, left + width, top + height};
    }
    Rect Bounds() const override { return state.bounds; }
    void SetVisible(bool visible) override { state.visible = visible; }
    bool Visible() const override { return state.visible; }

    FakeControlState state;
};

class FakePicturePanel : public FakeControl<PicturePanel> {
  public:
    FakePicturePanel(FakeHost& host, Handle handle, BorderStyle border);
    ~FakePicturePanel() override;
    Handle hDC() override { return dc; }
    Handle ImageHandle() override { return image; }
    void SetBackColour(std::uint32_t colour) override { backColour = colour; }
    void Clear() override;
    void Refresh() override;
    void SetPicture(Handle bitmap) override;
    void SetMousePointer(MousePointer value) override { pointer = value; }
    void SetFocus() override;
    // The user presses or releases a mouse button at a point of the panel (panel pixels).
    void Press(int button, Point at);
    void Release(int button, Point at);

    BorderStyle border;
    Handle dc = 0;
    Handle image = 0;
    Handle picture = 0;  // last bitmap given to SetPicture
    std::uint32_t backColour = 0x00FFFFFF;
    MousePointer pointer = MousePointer::Default;
    int clears = 0;
    int refreshes = 0;
    std::vector<FakeLabel*> labels;  // drawn over this panel, in creation order

  private:
    friend class FakeLabel;
    FakeHost& host_;
    PanelMouse mouse_;
};

class FakeLabel : public FakeControl<Label> {
  public:
    explicit FakeLabel(FakePicturePanel& panel) : panel_(panel) { panel.labels.push_back(this); }
    ~FakeLabel() override;
    void SetText(const std::string& utf8) override { text = utf8; }
    std::string Text() const override { return text; }
    void SetFont(const Font& value) override { font = value; }
    void SetTextColour(std::uint32_t colour) override { textColour = colour; }
    void SetCentred(bool value) override { centred = value; }
    void SetEnabled(bool value) override { enabled = value; }
    void SetMousePointer(MousePointer value) override { pointer = value; }
    Size TextExtent() const override { return extent; }

    std::string text;
    Font font;
    Size extent;  // canned: what the text measures
    std::uint32_t textColour = 0;
    bool centred = false;
    bool enabled = true;
    MousePointer pointer = MousePointer::Default;

  private:
    FakePicturePanel& panel_;
};

class FakeImageControl : public FakeControl<ImageControl> {
  public:
    explicit FakeImageControl(Handle handle) { state.handle = handle; }
    void SetPicture(Handle bitmap) override { picture = bitmap; }

    Handle picture = 0;
};

class FakeScrollBar : public FakeControl<ScrollBar> {
  public:
    explicit FakeScrollBar(Handle handle) { state.handle = handle; }
    void SetRange(std::int32_t low, std::int32_t high) override { model.SetRange(low, high); }
    void SetSteps(std::int32_t small, std::int32_t large) override { model.SetSteps(small, large); }
    bool SetValue(std::int64_t value) override;
    std::int32_t Value() const override { return model.Value(); }
    // The user works the bar; `thumb` is where the thumb is for the thumb codes.
    void Scroll(ScrollCode code, std::int32_t thumb);

    ScrollModel model;
};

class FakeWindow : public Window {
  public:
    FakeWindow(FakeHost& host, Handle handle, WindowKind kind);
    Handle hWnd() const override { return state.handle; }
    void SetTitle(const std::string& text) override { title = text; }
    void Move(std::int32_t left, std::int32_t top, std::int32_t width,
              std::int32_t height) override {
        state.bounds = {left, top, left + width, top + height};
    }
    void SetClientSize(std::int32_t width, std::int32_t height) override {
        clientWidth = width;
        clientHeight = height;
    }
    Rect ClientRect() const override { return {0, 0, clientWidth, clientHeight}; }
    void SetBackColour(std::uint32_t colour) override { backColour = colour; }
    void SetIcon(int resourceId) override { icon = resourceId; }
    void Show() override;
    void ShowModal() override;
    void Close() override;
    void EndProgramWhenDestroyed() override { endsProgram = true; }
    std::int32_t Dpi() const override { return dpi; }
    // The window moves to a monitor of `newDpi` dots per inch, the system proposing `suggested`.
    void ChangeDpi(std::int32_t newDpi, const Rect& suggested);
    std::unique_ptr<PicturePanel> CreatePicturePanel(PicturePanel* parent,
                                                     BorderStyle border) override;
    std::unique_ptr<Label> CreateLabel(PicturePanel* parent) override;
    std::unique_ptr<ImageControl> CreateImageControl(PicturePanel* parent) override;
    std::unique_ptr<ScrollBar> CreateScrollBar(PicturePanel* parent) override;
    void SetTabOrder(std::vector<Handle> controls) override { tabOrder = std::move(controls); }

    WindowKind kind;
    FakeControlState state;
    std::string title;
    std::int32_t clientWidth = 0, clientHeight = 0;
    std::uint32_t backColour = 0x00FFFFFF;
    int icon = 0;
    std::int32_t dpi;  // the host's `dpi` when the window was made
    bool shown = false;
    bool modal = false;
    bool closed = false;
    bool endsProgram = false;
    UnloadOnce unload;
    std::vector<Handle> tabOrder;
    // Children in creation order, for tests that look them up.
    std::vector<FakePicturePanel*> panels;
    std::vector<FakeLabel*> labels;
    std::vector<FakeImageControl*> images;
    std::vector<FakeScrollBar*> scrollBars;

  private:
    FakeHost& host_;
};

class FakeHost : public Host {
  public:
    FakeHost() = default;

    // The device context GetDC hands out.
    static constexpr Handle kScreenDc = 0x20020;

    // What the test sees.
    std::vector<std::string> calls;
    std::vector<FakeWindow*> windows;
    std::vector<FakeTimer*> timers;
    int doEventsCount = 0;
    MousePointer pointer = MousePointer::Default;
    std::vector<MousePointer> pointerHistory;
    // Calls of one name, in order.
    std::vector<std::string> CallsNamed(const std::string& name) const;
    int CountOf(const std::string& name) const;

    // Canned values.
    std::string commandLine;
    std::string programFolder = "C:\\Saver";
    double secondsSinceMidnight = 0;
    Rect virtualScreen{0, 0, 1024, 768};
    double twipsPerPixelX = 15, twipsPerPixelY = 15;
    std::int32_t dpi = 96;                         // of the windows made from now on
    std::map<std::string, Handle> windowsByTitle;  // FindWindowA answers
    std::map<Handle, Rect> windowRects;            // GetWindowRect answers (others fail)
    std::int32_t windowLong = 0x16CF0000;          // GetWindowLongA answer
    Point cursor{100, 100};
    std::int32_t getCursorPosResult = 1;
    Handle windowFromPoint = 0;
    std::int32_t versionResult = 1;
    std::uint32_t platformId = kVerPlatformWin32Nt;
    std::int32_t verifyResult = 1;
    std::int32_t stretchDIBitsResult = 1;
    std::int32_t getDIBitsResult = 1;
    BitmapRecord bitmapRecord;  // GetObjectA answer
    // Filled into the buffer by GetDIBits, when not empty (as many bytes as fit).
    std::vector<std::uint8_t> dibBits;
    std::function<void()> onDoEvents;  // runs inside DoEvents (simulates input)
    // Monitors, and the answers of GetDibSection in call order (once they run out, a bitmap is no
    // DIB section and the caller falls back to GetDIBits).
    std::vector<Rect> monitors;
    std::vector<DibSection> dibSections;
    std::function<void()> onVerifyScreenSavePwd;  // runs inside VerifyScreenSavePwd

    Handle NewHandle() { return nextHandle_++; }

    // Process.
    std::string CommandLine() override { return commandLine; }
    std::string ProgramFolder() override { return programFolder; }
    void EndProgram() override;
    void DoEvents() override;
    void RunMessageLoop() override { calls.push_back("RunMessageLoop"); }
    double SecondsSinceMidnight() override { return secondsSinceMidnight; }
    Rect VirtualScreen() override { return virtualScreen; }
    std::int32_t ScreenWidth() override { return virtualScreen.right - virtualScreen.left; }
    std::int32_t ScreenHeight() override { return virtualScreen.bottom - virtualScreen.top; }
    double TwipsPerPixelX() override { return twipsPerPixelX; }
    double TwipsPerPixelY() override { return twipsPerPixelY; }

    void DisplayMonitors(std::vector<Rect>& into) override;
    std::int32_t GetDibSection(Handle bitmap, DibSection* section) override;
    // What GetObjectA and SetPicture take as a bitmap's size: a panel's persistent image has the
    // panel's size, a loaded resource the size it was loaded at, any other bitmap the canned
    // `bitmapRecord`.
    BitmapRecord RecordOf(Handle bitmap) const;

    std::unique_ptr<Window> CreateTopLevelWindow(WindowKind kind) override;
    std::unique_ptr<Timer> CreateTimer() override;
    // A handle of its own for each resource and size, which the bitmap's record then gives.
    Handle LoadBitmapResource(int resourceId, Size size) override;
    void SetMousePointer(MousePointer value) override;
    void UsePhysicalPixels() override { calls.push_back("UsePhysicalPixels"); }

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
    Handle GetDC(Handle window) override;  // kScreenDc
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

    // The last record and buffer handed to the DIB calls, for tests of their arguments.
    BitmapInfo lastDibInfo;
    const void* lastDibBits = nullptr;
    std::vector<TriVertex> lastVertices;
    std::vector<GradientRect> lastGradientRects;

  private:
    friend class FakePicturePanel;
    std::map<Handle, const FakePicturePanel*> panelImages_;
    std::map<Handle, Size> loadedSizes_;
    std::size_t dibSectionsRead_ = 0;
    Handle nextHandle_ = 0x1000;
};

}  // namespace platform::fake
