// The settings dialog's turning preview on real picture panels (module Veltrane_B2).
//
// `RotatePicture` reads the persistent image of one panel with GetDIBits as top-down 32-bit
// pixels, turns it with `TransformPixels` and writes the result into the persistent image of
// another panel with SetDIBits, then repaints that panel so the new frame shows at once.
#pragma once

#include "platform/platform.h"

namespace Veltrane_B2 {

// Turns the picture of `source` clockwise by `angleDegrees` about its middle into `destination`
// (bilinear when `smooth`). Both panels are measured by their outer size in pixels; every
// destination pixel whose sample falls outside the source is black. Panels without area, or so
// large that their pixels would not fit in memory, leave the destination untouched.
void RotatePicture(platform::Host& host, platform::PicturePanel& source,
                   platform::PicturePanel& destination, double angleDegrees, bool smooth);

// The header that GetDIBits and SetDIBits exchange for a top-down 32-bit picture.
platform::BitmapInfo TopDownHeader(std::int32_t width, std::int32_t height);

}  // namespace Veltrane_B2
