// Top-level windows: the session, the preview and the settings dialog are each one of these.
#pragma once

#include "platform/win32/win32_toolkit.h"

namespace platform::win32 {

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
    std::int32_t Dpi() const override { return dpi_; }
    std::unique_ptr<PicturePanel> CreatePicturePanel(PicturePanel* parent,
                                                     BorderStyle border) override;
    std::unique_ptr<Label> CreateLabel(PicturePanel* parent) override;
    std::unique_ptr<ImageControl> CreateImageControl(PicturePanel* parent) override;
    std::unique_ptr<ScrollBar> CreateScrollBar(PicturePanel* parent) override;
    void SetTabOrder(std::vector<Handle> controls) override;
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    // A key pressed anywhere in this window: onKeyDown first, then Tab and Shift+Tab through
    // the tab order. True when the key was taken; false lets it go to the window it was sent to.
    bool HandleKeyDown(const MSG& message);

  private:
    void EraseBackground(HDC dc) const;
    HWND ParentFor(PicturePanel* parent) const;
    // The stop that has the focus or holds the window that has it; the end of the list for none.
    std::size_t FocusedStop() const;
    // Focuses the next stop that can take the focus, forwards or backwards from `from`; false when
    // none can.
    bool FocusNextStop(std::size_t from, bool backwards);
    // On deactivation: which stop has the focus. On activation: that stop has it again, or the
    // first that can take it; false without a tab order.
    void RememberFocus();
    bool RestoreFocus();
    // WM_DPICHANGED: the new scale for the window and its labels, then the handler's layout.
    void DpiChanged(int dpi, const RECT& suggested);

    Win32Host& host_;
    HWND hwnd_ = nullptr;
    COLORREF back_ = RGB(255, 255, 255);
    bool endsProgram_ = false;
    UnloadOnce unload_;
    bool destroyed_ = false;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    std::vector<HWND> tabOrder_;
    HWND lastFocus_ = nullptr;  // the stop that had the focus when the window was deactivated
    int dpi_ = 96;
};

}  // namespace platform::win32
