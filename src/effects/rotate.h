// Turns one image of the pixel stack about a centre into image 2.
#pragma once

#include <cstdint>

namespace Veltrane_B1 {

// Parameter block of the rotation routine. The pixel stack holds three images of width x height
// 32-bit pixels (blue, green, red, unused byte), bottom-up, row stride 4 * width, back to back
// from pixelBase.
struct RotateBlock {
    std::int32_t width;        // pixels per row
    std::int32_t height;       // rows
    std::uint8_t* pixelBase;   // image 1; image 2 and image 3 follow
    const void* reserved1;     // not read
    std::int32_t reserved2;    // not read
    std::uint32_t backColour;  // 0x00BBGGRR, painted where the source position is outside
    std::int32_t mode;         // 0/1: image 3 -> 2, 2/3: image 1 -> 2; even nearest, odd bilinear
};

// Writes image 2: every pixel samples the source at its position turned back by angleDegrees
// about (centreX, centreY), centreY counted from the top. Only bytes 0..2 of image 2 are written;
// an unknown mode, a width or height below 1 or a null pixelBase write nothing. Synchronous; may
// use a small set of worker threads that it keeps between calls.
void Rotate(const RotateBlock& block, float centreX, float centreY, std::int32_t angleDegrees);

}  // namespace Veltrane_B1
