// A 3 x 5 pixel capital-letter font for the small labels on the drawn desktop and the contact
// sheet.
#pragma once

#include <functional>
#include <string_view>

#include "raster.h"

namespace veltrane_resources {

// Calls plot(x, y) for every pixel of the text with its top-left corner at (x, y), each font pixel
// `scale` pixels wide; characters advance by 4 * scale. Characters outside the font are blanks.
void ForEachTextPixel(int x, int y, std::string_view text, int scale,
                      const std::function<void(int, int)>& plot);

// Draws text so, clipped to the image.
void DrawText(Image& image, int x, int y, std::string_view text, Colour colour, int scale = 1);

constexpr int TextWidth(std::string_view text, int scale = 1) {
    return text.empty() ? 0 : static_cast<int>(text.size()) * 4 * scale - scale;
}

}  // namespace veltrane_resources
