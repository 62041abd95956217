// One frame of a session: turn each monitor's captured desktop (image 1) into image 2 and put it
// on the screen, and the presentation of any image of a pixel stack.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

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

// One monitor's share of a session: its own capture in its own pixel stack, turned about its own
// centre and shown on its own panel at the monitor's place.
struct MonitorImage {
    platform::Rect monitor;  // in virtual-screen pixels
    std::unique_ptr<platform::PicturePanel> display;
    std::int32_t width = 0;  // the captured image's size in pixels
    std::int32_t height = 0;
    Centre centre;
    PixelStack pixels;
};

// Draws image `imageNumber` (1 to 3) of the stack one pixel per pixel onto `display` and asks it
// to repaint. Returns false when nothing could be drawn (the caller ends the program).
bool PresentImage(platform::Host& host, platform::PicturePanel& display, PixelStack& stack,
                  int imageNumber);

// For every monitor with a capture: turns image 1 by `rotationAngle` whole degrees about the
// monitor's centre into image 2 (nearest pixel, white outside) and presents image 2; then lets
// pending window messages run once. Every monitor turns by the same angle. Returns false when a
// presentation failed; with no capture at all it does nothing and returns true.
bool RotateStep(platform::Host& host, std::vector<MonitorImage>& monitors, float rotationAngle);

}  // namespace Veltrane_B1
