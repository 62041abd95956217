#include "controls/command_face.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace Veltrane::Controls {
namespace {

constexpr std::int32_t kTwipsLimit = std::int32_t{1} << 24;

// A real to a 32-bit integer, ties to even; NaN gives 0 and the range is clamped.
std::int32_t ToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value <= -2147483648.0) return INT32_MIN;
    if (value >= 2147483647.0) return INT32_MAX;
    return static_cast<std::int32_t>(std::nearbyint(value));
}

platform::TriVertex Vertex(std::int32_t x, std::int32_t y, const ChannelColour& colour) {
    return {x, y, colour.red, colour.green, colour.blue, 0};
}

// A frame piece from corners and sizes: {x, y, width, height} on the face and in the skin.
FramePiece Piece(FramePieceId id, const std::array<std::int32_t, 4>& destination,
                 const std::array<std::int32_t, 4>& source) {
    return {id, CornerAndSize(destination[0], destination[1], destination[2], destination[3]),
            CornerAndSize(source[0], source[1], source[2], source[3])};
}

}  // namespace

Rect ToPixels(const Rect& twips, const platform::DisplayScale& scale) {
    return CornerAndSize(scale.FloorPixels(twips.left), scale.FloorPixels(twips.top),
                         scale.FloorPixels(twips.right - twips.left),
                         scale.FloorPixels(twips.bottom - twips.top));
}

std::int32_t WholeTwips(double twips) {
    if (std::isnan(twips)) return 0;
    const double clamped = std::fmin(std::fmax(twips, -kTwipsLimit), kTwipsLimit);
    return static_cast<std::int32_t>(std::nearbyint(clamped));
}

FaceLayout ComputeFaceLayout(std::int32_t widthTwips, std::int32_t heightTwips,
                             double captionHeightTwips, std::int32_t skinWidthTwips,
                             std::int32_t skinHeightTwips) {
    const auto limited = [](std::int32_t twips) {
        return std::min(std::max(twips, -kTwipsLimit), kTwipsLimit);
    };
    const std::int32_t w = limited(widthTwips), h = limited(heightTwips);
    const std::int32_t skinWidth = limited(skinWidthTwips), skinHeight = limited(skinHeightTwips);
    constexpr std::int32_t c = kFrameTwips;
    const std::int32_t innerWidth = w - 2 * c;
    const std::int32_t innerHeight = h - 2 * c;
    const std::int32_t skinInnerWidth = skinWidth - 2 * c;    // 840 at 96 dots per inch
    const std::int32_t skinInnerHeight = skinHeight - 2 * c;  // 255
    const std::int32_t skinRight = skinWidth - c;             // 900
    const std::int32_t skinBottom = skinHeight - c;           // 315

    // The pieces start 1 twip in (pixel 0) where the skin's own offsets are 0 or 1, exactly as
    // the face has always been cut; sizes in brackets in the skin are those of the source.
    FaceLayout layout{
        {{
            Piece(FramePieceId::TopLeft, {1, 1, c, c}, {0, 0, c, c}),
            Piece(FramePieceId::Top, {c, 1, innerWidth, c}, {c, 1, skinInnerWidth, c}),
            Piece(FramePieceId::TopRight, {w - c, 1, c, c}, {skinRight, 1, c, c}),
            Piece(FramePieceId::Right, {w - c, c, c, innerHeight},
                  {skinRight, c, c, skinInnerHeight}),
            Piece(FramePieceId::BottomRight, {w - c, h - c, c, c}, {skinRight, skinBottom, c, c}),
            Piece(FramePieceId::Bottom, {c, h - c, innerWidth, c},
                  {c, skinBottom, skinInnerWidth, c}),
            Piece(FramePieceId::BottomLeft, {1, h - c, c, c}, {0, skinBottom, c, c}),
            Piece(FramePieceId::Left, {1, c, c, innerHeight}, {1, c, c, skinInnerHeight}),
        }},
        (static_cast<double>(h) - captionHeightTwips - kCaptionAllowanceTwips) / 2.0,
        0,
        w,
    };
    return layout;
}

bool GradientReversedFor(std::uint8_t buttonState, bool previous) {
    switch (buttonState) {
        case StateNormal:
        case StateSelected:
            return false;
        case StateHighLight:
            return true;
        default:
            return previous;
    }
}

GradientRecords PaintGradient(bool gradientReversed, double scaleWidthPixels,
                              double scaleHeightPixels) {
    const ChannelColour& top = gradientReversed ? kDarkColour : kLightColour;
    const ChannelColour& bottom = gradientReversed ? kLightColour : kDarkColour;
    GradientRecords records;
    records.vertices[0] = Vertex(0, 0, top);
    records.vertices[1] =
        Vertex(ToInt32(scaleWidthPixels - 1.0), ToInt32(scaleHeightPixels - 1.0), bottom);
    records.rect = {1, 0};
    return records;
}

FacePaint DrawState(SkinPicture picture, std::uint8_t buttonState, bool& gradientReversed,
                    const FaceSize& size) {
    gradientReversed = GradientReversedFor(buttonState, gradientReversed);
    return {picture, PaintGradient(gradientReversed, size.scaleWidthPixels, size.scaleHeightPixels),
            ComputeFaceLayout(WholeTwips(size.widthTwips), WholeTwips(size.heightTwips),
                              size.captionHeightTwips, WholeTwips(size.skinWidthTwips),
                              WholeTwips(size.skinHeightTwips))};
}

}  // namespace Veltrane::Controls
