// Picture panels with a persistent off-screen image, the image itself (Canvas) and the windowless
// labels that panels draw over it.
#pragma once

#include <optional>

#include "platform/win32/win32_toolkit.h"

namespace platform::win32 {

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
    HDC Dc() const { return dc_.get(); }
    HBITMAP Bitmap() const { return bitmap_.get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }

  private:
    MemoryDc dc_;
    GdiObject<HBITMAP> bitmap_;
    std::optional<Selected> selected_;  // bitmap_ in dc_
    int width_ = 0;
    int height_ = 0;
};

// Whether `bitmap` is a panel's persistent image: a 32-bit DIB section whose rows run top-down.
bool IsPanelImage(HBITMAP bitmap);

// While it lives, a panel's image is out of the panel's device context (a one-pixel placeholder
// stands in for it), because the platform forbids GetDIBits and SetDIBits on a bitmap that is
// selected into a device context. Any other bitmap is left as it is.
class PanelImageFreed {
  public:
    explicit PanelImageFreed(HBITMAP bitmap);

  private:
    GdiObject<HBITMAP> placeholder_;
    std::optional<Selected> placeholderSelected_;  // destroyed first: the image goes back in
};

class Win32Label;

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
    // The window now draws at another scale: the labels make their fonts again.
    void DpiChanged();
    void AddLabel(Win32Label* label) { labels_.push_back(label); }
    void RemoveLabel(Win32Label* label);

  private:
    void Resized() override;
    void OnPaint();
    void PaintContent(HDC dc) const;
    void Mouse(UINT message, LPARAM lParam);
    bool SetCursorForPoint();

    Win32Host& host_;
    Canvas canvas_;
    COLORREF back_;
    MousePointer pointer_ = MousePointer::Default;
    std::vector<Win32Label*> labels_;
    PanelMouse mouse_;
};

class Win32Label : public Label {
  public:
    explicit Win32Label(Win32PicturePanel& parent);
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
    Size TextExtent() const override;

    void Paint(HDC dc) const;
    // The font made again at the dots per inch its window now draws at.
    void DpiChanged();
    MousePointer Pointer() const { return pointer_; }
    HFONT FontHandle() const { return font_.get(); }

  private:
    void Invalidate();
    void UpdateFont();  // the wanted font in a face that has every character of the text

    Win32PicturePanel& parent_;
    RECT rect_{};
    std::string text_;
    std::wstring wide_;
    std::optional<Font> fontWanted_;
    GdiObject<HFONT> font_;
    COLORREF colour_ = 0;
    bool centred_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    MousePointer pointer_ = MousePointer::Default;
};

}  // namespace platform::win32
