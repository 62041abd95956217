// Pixel work of the settings dialog's turning preview (module Veltrane_B2).
//
// `TransformPixels` turns one top-down 32-bit picture (bytes blue, green, red, unused) into
// another, in portable C++; `RotatePicture` (rotate_picture.h) feeds it the pixels of the
// dialog's picture panels. Nothing here touches the platform, so the same frames come out of
// the native and the Windows build.
#pragma once

#include <cstdint>

namespace Veltrane_B2 {

// Degrees to radians as the preview has always done it: slightly below pi / 180.
inline constexpr double kDegreesToRadians = 0.017453292519943;

struct CosSin {
    double cos;
    double sin;
};

// Cosine and sine of `radians`, computed the same way on every platform (argument reduction
// by pi / 2 in three parts, then fixed polynomials in plain double arithmetic; error below one
// unit in the last place). The C runtimes disagree in the last bit, and the x87 instructions the
// Windows runtime uses lose most of their precision near multiples of pi; a frame must not
// depend on which build draws it. Beyond about 1.6e6 radians the platform's functions are used.
CosSin ModelCosSin(double radians);

// Turns `source` (sourceWidth x sourceHeight pixels, rows top-down, 4 bytes per pixel: B, G,
// R, unused) clockwise by `angleDegrees` about its middle into `destination`, whose middle
// receives the source's middle. Every destination pixel is written: the colour sampled at
// the pixel's position turned back, or black (all four bytes 0) where that sample is not in
// the source. Byte 3 of every destination pixel is 0.
//
// Sampling: the cell containing the sample point, whose top-left corner pixel must lie in
// columns 0 .. sourceWidth - 2 and rows 0 .. sourceHeight - 2 (the last column and row never
// start a cell). With `smooth` the four pixels of the cell are blended, first down each of
// the two columns and each column rounded to a whole number (ties to even), then across.
//
// Sizes of zero or less, a null destination or a source too small to hold one cell simply
// give an empty or all-black result. Sample points of any size, including infinities and
// NaN from an unusable angle, only ever select a pixel inside the source or black.
void TransformPixels(const std::uint8_t* source, int sourceWidth, int sourceHeight,
                     std::uint8_t* destination, int destinationWidth, int destinationHeight,
                     double angleDegrees, bool smooth);

}  // namespace Veltrane_B2
