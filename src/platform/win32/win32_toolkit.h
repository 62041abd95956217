// The toolkit pieces on top of real windows: top-level windows, picture panels with a persistent
// image, windowless labels, image controls, scroll bars and message timers.
//
// Window procedures only decode messages and call the pieces' methods or the portable handlers
// connected to them; no program logic lives here.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/win32_host.h"
#include "resource_ids.h"

namespace platform::win32 {

inline constexpr int kHandCursorId = IDC_HAND_CURSOR;

// Receives the messages of one window; the shared window procedure finds it through the
// window's user data, stored when the window is created.
class MessageTarget {
  public:
    virtual ~MessageTarget() = default;
    virtual LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// A memory device context holding a 32-bit top-down DIB section: the persistent image of a panel.
class Canvas {
  public:
    Canvas();
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    // Gives the image a new size, keeping what was drawn at the top-left and filling the rest.
    void Resize(int width, int height, COLORREF fill);
    void Fill(COLORREF colour);
    HDC Dc() const { return dc_; }
    HBITMAP Bitmap() const { return bitmap_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

  private:
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ original_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// Whether `bitmap` is a panel's persistent image: a 32-bit DIB section whose rows run top-down.
bool IsPanelImage(HBITMAP bitmap);

class Win32Label;
class Win32ScrollBar;

// What every child control with a window of its own shares.
template <typename Base>
class ChildWindow : public Base {
  public:
    Handle hWnd() const override { return FromPointer(hwnd_); }
    void Move(std::int32_t left, std::int32_t top, std::int32_t width,
              std::int32_t height) override;
    Rect Bounds() const override;
    void SetVisible(bool visible) override { ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE); }
    bool Visible() const override { return (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }

  protected:
    ~ChildWindow() override {
        if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    }
    virtual void Resized() {}
    HWND hwnd_ = nullptr;
};

class Win32PicturePanel : public ChildWindow<PicturePanel>, public MessageTarget {
  public:
    Win32PicturePanel(Win32Host& host, HWND parent, BorderStyle border, COLORREF back);
    Handle hDC() override { return FromPointer(canvas_.Dc()); }
    Handle ImageHandle() override { return FromPointer(canvas_.Bitmap()); }
    void SetBackColour(std::uint32_t colour) override;
    void Clear() override;
    void Refresh() override;
    void SetPicture(Handle bitmap) override;
    void SetMousePointer(MousePointer pointer) override { pointer_ = pointer; }
    void SetFocus() override { ::SetFocus(hwnd_); }
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    HWND Hwnd() const { return hwnd_; }
    void AddLabel(Win32Label* label) { labels_.push_back(label); }
    void RemoveLabel(Win32Label* label);

  private:
    void Resized() override;
    void Paint();
    Win32Label* LabelAt(POINT point) const;
    void Mouse(UINT message, WPARAM wParam, LPARAM lParam);
    bool SetCursorForPoint();

    Win32Host& host_;
    Canvas canvas_;
    COLORREF back_;
    MousePointer pointer_ = MousePointer::Default;
    std::vector<Win32Label*> labels_;
    Win32Label* pressedLabel_ = nullptr;  // where the left button went down
    bool pressed_ = false;
};

class Win32Label : public Label {
  public:
    explicit Win32Label(Win32PicturePanel* parent);
    ~Win32Label() override;
    Handle hWnd() const override { return 0; }
    void Move(std::int32_t left, std::int32_t top, std::int32_t width,
              std::int32_t height) override;
    Rect Bounds() const override { return {rect_.left, rect_.top, rect_.right, rect_.bottom}; }
    void SetVisible(bool visible) override;
    bool Visible() const override { return visible_; }
    void SetText(const std::string& utf8) override;
    std::string Text() const override { return text_; }
    void SetFont(const Font& font) override;
    void SetTextColour(std::uint32_t colour) override;
    void SetCentred(bool centred) override;
    void SetEnabled(bool enabled) override;
    void SetMousePointer(MousePointer pointer) override { pointer_ = pointer; }

    void Paint(HDC dc) const;
    bool Contains(POINT point) const { return visible_ && PtInRect(&rect_, point); }
    MousePointer Pointer() const { return pointer_; }
    HFONT FontHandle() const { return font_; }

  private:
    void Invalidate();
    void UpdateFont();  // the wanted font in a face that has every character of the text

    Win32PicturePanel* parent_;
    RECT rect_{};
    std::string text_;
    std::wstring wide_;
    std::optional<Font> fontWanted_;
    HFONT font_ = nullptr;
    COLORREF colour_ = 0;
    bool centred_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    MousePointer pointer_ = MousePointer::Default;
};

class Win32ImageControl : public ChildWindow<ImageControl>, public MessageTarget {
  public:
    Win32ImageControl(Win32Host& host, HWND parent, COLORREF back);
    void SetPicture(Handle bitmap) override;
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    HBITMAP picture_ = nullptr;
    COLORREF back_;
};

class Win32ScrollBar : public ChildWindow<ScrollBar> {
  public:
    Win32ScrollBar(Win32Host& host, HWND parent);
    void SetRange(std::int32_t minimum, std::int32_t maximum) override;
    void SetSteps(std::int32_t small, std::int32_t large) override;
    bool SetValue(std::int64_t value) override;
    std::int32_t Value() const override { return value_; }
    // A WM_HSCROLL notification from this bar.
    void Scrolled(int code);
    static Win32ScrollBar* FromHwnd(HWND hwnd);

  private:
    void Apply(std::int32_t value, bool dragging);

    std::int32_t minimum_ = 0, maximum_ = 32767, small_ = 1, large_ = 1, value_ = 0;
};

class Win32Timer : public Timer {
  public:
    Win32Timer() = default;
    ~Win32Timer() override;
    bool SetInterval(std::int64_t milliseconds) override;
    std::int32_t Interval() const override { return interval_; }
    void SetEnabled(bool enabled) override;
    bool Enabled() const override { return enabled_; }

  private:
    void Arm();
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD);

    std::int32_t interval_ = 0;
    bool enabled_ = false;
    UINT_PTR id_ = 0;
};

class Win32Window : public Window, public MessageTarget {
  public:
    Win32Window(Win32Host& host, WindowKind kind);
    ~Win32Window() override;
    Handle hWnd() const override { return FromPointer(hwnd_); }
    void SetTitle(const std::string& text) override;
    void Move(std::int32_t left, std::int32_t top, std::int32_t width,
              std::int32_t height) override;
    void SetClientSize(std::int32_t width, std::int32_t height) override;
    Rect ClientRect() const override;
    void SetBackColour(std::uint32_t colour) override;
    void SetIcon(int resourceId) override;
    void Show() override;
    void ShowModal() override;
    void Close() override;
    void EndProgramWhenDestroyed() override { endsProgram_ = true; }
    std::unique_ptr<PicturePanel> CreatePicturePanel(PicturePanel* parent,
                                                     BorderStyle border) override;
    std::unique_ptr<Label> CreateLabel(PicturePanel* parent) override;
    std::unique_ptr<ImageControl> CreateImageControl(PicturePanel* parent) override;
    std::unique_ptr<ScrollBar> CreateScrollBar(PicturePanel* parent) override;
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Key preview: a key pressed anywhere in this window goes to onKeyDown when it is set.
    bool HandleKeyDown(const MSG& message);

  private:
    HWND ParentFor(PicturePanel* parent) const;

    Win32Host& host_;
    HWND hwnd_ = nullptr;
    COLORREF back_ = RGB(255, 255, 255);
    bool endsProgram_ = false;
    bool closing_ = false;
    bool destroyed_ = false;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
};

// Mouse button code and shift state of a mouse message, as the handlers take them.
int ShiftState();

// Forwards a WM_HSCROLL notification to the scroll bar that sent it. True when it was one of ours.
bool ForwardScroll(WPARAM wParam, LPARAM lParam);

}  // namespace platform::win32
