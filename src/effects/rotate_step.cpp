#include "effects/rotate_step.h"

#include <cmath>

#include "effects/rotate.h"

namespace Veltrane_B1 {
namespace {
// The block's first reserved field must point at something; the routine never reads it.
const std::uint8_t kScratchByte = 0;
}  // namespace

bool PresentImage(platform::Host& host, platform::PicturePanel& display, PixelStack& stack,
                  int imageNumber) {
    const std::uint8_t* bits = stack.Image(imageNumber);
    if (!bits) return false;
    display.SetVisible(true);
    const std::int32_t width = stack.Width();
    const std::int32_t height = stack.Height();
    stack.dibHeader.biWidth = width;
    stack.dibHeader.biHeight = height;  // positive: bottom-up rows
    // The image covers the whole panel, so nothing of the previous frame survives the copy.
    const std::int32_t drawn =
        host.StretchDIBits(display.hDC(), 0, 0, width, height, 0, 0, width, height, bits,
                           &stack.dibHeader, platform::kDibPalColors, platform::kSrcCopy);
    if (drawn == 0) return false;
    display.Refresh();
    return true;
}

bool RotateStep(platform::Host& host, std::vector<MonitorImage>& monitors, float rotationAngle) {
    const auto angle = static_cast<std::int32_t>(std::nearbyint(rotationAngle + 360.0f));
    bool presented = false;
    for (MonitorImage& screen : monitors) {
        PixelStack& stack = screen.pixels;
        if (!stack.Allocated()) continue;
        const RotateBlock block{stack.Width(), stack.Height(), stack.Image(1),    &kScratchByte,
                                kBlockTag,     kBackColour,    kNearestFromImage1};
        Rotate(block, static_cast<float>(screen.centre.x), static_cast<float>(screen.centre.y),
               angle);
        if (!PresentImage(host, *screen.display, stack, 2)) return false;
        presented = true;
    }
    if (presented) host.DoEvents();
    return true;
}

}  // namespace Veltrane_B1
