// The preview window: a still picture of a turned desktop inside the host's preview area.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace Veltrane_B {

// The preview picture as drawn at 96 dots per inch, the usual size of the host's box there.
inline constexpr platform::Size kPreviewPicture{152, 112};

class Veltrane_R {
  public:
    // Creates the window, hidden: borderless, white, titled "Preview Window", with the image
    // control Img_Prev. The program ends when the window goes, however it goes.
    explicit Veltrane_R(platform::Host& host);

    // Makes the window a child of `hostWindow`, places it at (0, 0) with the given size, and
    // fills it with the preview picture: the largest size of the picture's aspect that fits,
    // centred, drawn for that size (smoothly resized between the scales it is drawn at), the
    // spare edge white. A box of 152 x 112 shows the picture pixel for pixel.
    void Embed(platform::Handle hostWindow, std::int32_t width, std::int32_t height);

    platform::Handle hWnd() const { return window_->hWnd(); }
    void Show() { window_->Show(); }

    // Unload handler: asks the window itself to close, which ends the preview program.
    void Form_Unload();

    // Called by the watch timer: the host window has gone without taking ours with it (its
    // process ended); the preview ends too.
    void HostWatch_Timer();

    platform::ImageControl& Img_Prev() { return *image_; }

  private:
    platform::Host& host_;
    std::unique_ptr<platform::Window> window_;
    std::unique_ptr<platform::ImageControl> image_;
    std::unique_ptr<platform::Timer> hostWatch_;
    platform::Handle hostWindow_ = 0;
};

}  // namespace Veltrane_B
