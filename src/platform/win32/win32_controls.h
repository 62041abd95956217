// The child controls with a window of their own besides panels: the image control and the
// horizontal scroll bar.
#pragma once

#include "platform/win32/win32_toolkit.h"

namespace platform::win32 {

class Win32ImageControl : public ChildWindow<ImageControl>, public MessageTarget {
  public:
    Win32ImageControl(Win32Host& host, HWND parent, COLORREF back);
    void SetPicture(Handle bitmap) override;
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void OnPaint();
    void PaintContent(HDC dc) const;

    HBITMAP picture_ = nullptr;
    COLORREF back_;
};

class Win32ScrollBar : public ChildWindow<ScrollBar> {
  public:
    Win32ScrollBar(Win32Host& host, HWND parent);
    void SetRange(std::int32_t minimum, std::int32_t maximum) override;
    void SetSteps(std::int32_t small, std::int32_t large) override;
    bool SetValue(std::int64_t value) override;
    std::int32_t Value() const override { return model_.Value(); }
    // A WM_HSCROLL notification from this bar.
    void Scrolled(int code);
    static Win32ScrollBar* FromHwnd(HWND hwnd);

  private:
    ScrollModel model_;
};

}  // namespace platform::win32
