// Display scales and the pictures shown at them: the one rounding of a 96-dpi length to a scale,
// twips at a scale's real factor, the choice among pictures drawn at several scales, the fitting
// of a picture into a box, and a smooth resize for the sizes in between.
#pragma once

#include <cstdint>
#include <span>

#include "platform/platform.h"

namespace platform {

// 100 %: the dots per inch the layouts' pixel figures are drawn for.
inline constexpr std::int32_t kDesignDpi = 96;
inline constexpr std::int32_t kTwipsPerInch = 1440;

// A display scale, as dots per inch (a value below 1 counts as 96).
class DisplayScale {
  public:
    explicit DisplayScale(std::int32_t dpi = kDesignDpi) : dpi_(dpi > 0 ? dpi : kDesignDpi) {}
    std::int32_t Dpi() const { return dpi_; }
    bool operator==(const DisplayScale&) const = default;

    // A length of a 96-dpi layout at this scale: times dpi / 96, to the nearest whole pixel,
    // ties to even (0 for a result beyond 32 bits).
    std::int32_t Pixels(std::int32_t at96) const;
    Size Pixels(Size at96) const { return {Pixels(at96.width), Pixels(at96.height)}; }

    // Twips at this scale's real factor, 1440 / dpi twips per pixel (7.5 at 192, not 7).
    double Twips(double pixels) const { return pixels * kTwipsPerInch / dpi_; }
    // Whole pixels of a whole number of twips, rounded down (exact: no factor is rounded).
    std::int32_t FloorPixels(std::int32_t twips) const;
    // Pixels of twips, to the nearest whole pixel, ties to even.
    std::int32_t NearestPixels(double twips) const;

    // The length a label gets for a text `text` pixels long where the layout gives it `scaled`.
    // At 96 the layout stays as drawn, pixel for pixel, whatever the face; at any other scale the
    // layout is derived, and the text, which does not grow in step with it (font sizes are whole
    // pixels, glyphs are hinted), must still fit: the label is made at least as long as its text.
    std::int32_t LabelLength(std::int32_t scaled, std::int32_t text) const;

  private:
    std::int32_t dpi_;
};

// Of pictures drawn at several sizes, the one that serves `wanted` best: the nearest in width,
// the larger of two equally near (scaling down loses less than scaling up). 0 when `drawn` is
// empty.
std::size_t NearestPicture(std::span<const Size> drawn, Size wanted);

// The largest rectangle with the picture's aspect (nearest whole pixels) that fits in a box of
// `box`, centred in it (the spare pixel of an odd margin right or below). Empty for an empty
// picture or box.
Rect FitInside(Size picture, Size box);

// Resizes top-down 32-bit pixels (4 bytes each, rows packed) smoothly: each destination pixel
// is a weighted mean of the source pixels under it, with a triangle filter one pixel of the
// larger picture wide on each side, separately along each axis. The same size gives an exact
// copy. The arithmetic is plain IEEE double, so every build gives the same bytes.
void ResizeSmooth(const std::uint8_t* source, Size from, std::uint8_t* destination, Size to);

}  // namespace platform
