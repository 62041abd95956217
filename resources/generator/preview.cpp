#include <cstdint>
#include <vector>

#include "effects/rotate.h"
#include "pictures.h"

namespace veltrane_resources {

// The desktop turned exactly as a run turns the screen: the picture is image 1 of a three-image
// bottom-up 32-bit stack, the rotation routine (nearest pixel, white outside) writes image 2.
Image DrawPreview(int angleDegrees, DisplayScale scale) {
    const Image desktop = DrawDesktop(scale);
    const int w = desktop.width, h = desktop.height;
    const std::size_t imageBytes = std::size_t(w) * h * 4;
    std::vector<std::uint8_t> stack(imageBytes * 3, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Colour c = desktop.at(x, y);
            std::uint8_t* p = &stack[(std::size_t(h - 1 - y) * w + x) * 4];
            p[0] = Blue(c);
            p[1] = Green(c);
            p[2] = Red(c);
        }
    const std::uint8_t scratch = 0;
    Veltrane_B1::RotateBlock block{};
    block.width = w;
    block.height = h;
    block.pixelBase = stack.data();
    block.reserved1 = &scratch;
    block.reserved2 = 1;
    block.backColour = 0x00FFFFFF;
    block.mode = 2;
    Veltrane_B1::Rotate(block, static_cast<float>(w / 2), static_cast<float>(h / 2),
                        angleDegrees + 360);
    Image turned(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = &stack[imageBytes + (std::size_t(h - 1 - y) * w + x) * 4];
            turned.at(x, y) = Pack(p[2], p[1], p[0]);
        }
    return turned;
}

}  // namespace veltrane_resources
