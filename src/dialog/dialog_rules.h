// The settings dialog's rules that need no window: its font, the conversions of the interval,
// the preview angle and the window's place on the screen.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/platform.h"

namespace Veltrane_B {

// The font of every label and both buttons: the button's design font, MS P Gothic 9.75 pt
// Shift-JIS (underlined for the link).
platform::Font DialogFont(bool underline = false);

// Whole numbers of a float as the dialog's conversions make them (nearest, ties to even);
// nullopt when the value does not fit (or is not a number), in which case the step that wanted
// it is skipped.
std::optional<std::int16_t> ToInteger16(float value);
std::optional<std::int32_t> ToLong32(float value);

// A uniform number 0 <= r < 1 from a generator reseeded with `seed` (the seconds since
// midnight), and the preview angle 0..359 drawn from it.
double ReseededRandom(double seed);
std::int32_t PreviewAngle(double secondsSinceMidnight);

// Top-left corner in pixels that centres a window of the given outer size horizontally and puts
// it at one third of the free height, computed in twips with truncating division.
platform::Point DialogPosition(std::int32_t screenWidth, std::int32_t screenHeight,
                               std::int32_t windowWidth, std::int32_t windowHeight,
                               std::int32_t twipsPerPixelX, std::int32_t twipsPerPixelY);

}  // namespace Veltrane_B
