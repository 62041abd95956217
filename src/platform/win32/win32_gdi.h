// Scoped GDI: what a scope creates is deleted, what it selects is selected back out, and a paint
// it begins is ended, when the scope ends. The toolkit draws only through these.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace platform::win32 {

struct GdiDelete {
    void operator()(void* object) const { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
// A bitmap, brush or font that this scope owns.
template <typename GdiHandle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<GdiHandle>, GdiDelete>;

struct DcDelete {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
// A memory device context compatible with `dc` (nullptr: with the screen).
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDelete>;
inline MemoryDc CompatibleDc(HDC dc) {
    return MemoryDc(CreateCompatibleDC(dc));
}

// The device context of a window's client area (the whole screen for no window), released when
// the scope ends.
class WindowDc {
  public:
    explicit WindowDc(HWND window = nullptr) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context for this scope; selecting nothing does nothing.
class Selected {
  public:
    Selected(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~Selected() {
        if (previous_) SelectObject(dc_, previous_);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint and EndPaint around the drawing of a WM_PAINT.
class PaintScope {
  public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &paint_)) {}
    ~PaintScope() { EndPaint(hwnd_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Dc() const { return dc_; }

  private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

inline void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    const GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
    FillRect(dc, &rect, brush.get());
}

// Copies the top-left width x height pixels of a bitmap to the top-left of `dc`.
inline void DrawBitmap(HDC dc, HBITMAP bitmap, int width, int height) {
    const MemoryDc source = CompatibleDc(dc);
    const Selected picture(source.get(), bitmap);
    ::BitBlt(dc, 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
}

}  // namespace platform::win32
