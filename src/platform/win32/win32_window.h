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
    std::unique_ptr<PicturePanel> CreatePicturePanel(PicturePanel* parent,
                                                     BorderStyle border) override;
    std::unique_ptr<Label> CreateLabel(PicturePanel* parent) override;
    std::unique_ptr<ImageControl> CreateImageControl(PicturePanel* parent) override;
    std::unique_ptr<ScrollBar> CreateScrollBar(PicturePanel* parent) override;
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Key preview: a key pressed anywhere in this window goes to onKeyDown when it is set.
    bool HandleKeyDown(const MSG& message);

  private:
    void EraseBackground(HDC dc) const;
    HWND ParentFor(PicturePanel* parent) const;

    Win32Host& host_;
    HWND hwnd_ = nullptr;
    COLORREF back_ = RGB(255, 255, 255);
    bool endsProgram_ = false;
    UnloadOnce unload_;
    bool destroyed_ = false;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
};

}  // namespace platform::win32
