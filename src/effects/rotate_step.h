// One frame of a session: turn the captured desktop (image 1) into image 2 and put it on the
// screen, and the presentation of any image of the pixel stack.
#pragma once

#include <cstdint>

#include "effects/pixel_stack.h"
#include "platform/platform.h"

namespace Veltrane_B1 {

inline constexpr std::uint32_t kBackColour = 0x00FFFFFF;  // white where the turn leaves a gap
inline constexpr std::int32_t kBlockTag = 1;
inline constexpr std::int32_t kNearestFromImage1 = 2;  // the rotation mode of every frame

// The turn centre: half the image size, rounded toward zero, the row counted from the top.
struct Centre {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// Draws image `imageNumber` (1 to 3) of the stack one pixel per pixel onto `display` and asks it
// to repaint. Returns false when nothing could be drawn (the caller ends the program).
bool PresentImage(platform::Host& host, platform::PicturePanel& display, PixelStack& stack,
                  int imageNumber);

// Turns image 1 by `rotationAngle` whole degrees about `centre` into image 2 (nearest pixel,
// white outside), presents image 2 and lets pending window messages run. Returns false when the
// presentation failed; an unallocated stack does nothing and returns true.
bool RotateStep(platform::Host& host, platform::PicturePanel& display, PixelStack& stack,
                Centre centre, float rotationAngle);

}  // namespace Veltrane_B1
