// The title-bar zoom that opens the settings dialog out of the mouse pointer and closes it back
// into the same point (module Veltrane_B).
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace Veltrane_B {

// Screen position in pixels of the mouse pointer when the dialog loaded; (0, 0) when it could
// not be read. Both zooms use it, so the window closes into the point it opened from.
inline std::int32_t ZoomOriginX = 0;
inline std::int32_t ZoomOriginY = 0;

// Reads the pointer position into ZoomOriginX and ZoomOriginY (0, 0 when it cannot be read);
// the platform's result goes to LastApiResult.
void CaptureZoomOrigin(platform::Host& host);

// Zooms from the origin point out to the window's rectangle.
void ZoomOpen(platform::Host& host, platform::Handle window);
// Zooms from the window's rectangle back into the origin point.
void ZoomClose(platform::Host& host, platform::Handle window);

}  // namespace Veltrane_B
