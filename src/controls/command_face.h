// Face painting of the owner-drawn `Command` button as numbers: the gradient records, the
// eight frame pieces cut from a 64 x 25 skin picture, and where the caption goes.
//
// `DrawState` returns a `FacePaint` plan and updates GradientReversed. The control (command.h)
// then clears the face, hands `FacePaint::gradient` to GradientFill (vertical, one rectangle),
// stretch-copies every frame piece whose `Drawn()` is true from the skin picture (pixel
// rectangles from `ToPixels`), puts the face on the screen, and moves the caption label to
// `captionTop` / `captionLeft` / `captionWidth`. Layout numbers are twips, which are the same
// length at every scale: 15 to a pixel at 96 dots per inch, 1440 / dpi at any other (7.5 at 192),
// so the frame of 60 twips is 4, 5, 6 and 8 pixels wide at 96, 120, 144 and 192 dots per inch.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "controls/command_tracking.h"
#include "platform/platform.h"
#include "platform/scaling.h"

namespace Veltrane::Controls {

inline constexpr int kFrameTwips = 60;  // 4 pixels at 96 dots per inch
// The skin pictures at 96 dots per inch: 64 x 25 pixels, 960 x 375 twips. At other scales the
// pictures drawn for that scale give their own size in twips.
inline constexpr platform::Size kSkinPixels{64, 25};
inline constexpr int kSkinWidthTwips = 960;
inline constexpr int kSkinHeightTwips = 375;
inline constexpr int kCaptionAllowanceTwips = 20;
inline constexpr std::uint32_t kGradientVertexCount = 3;

using platform::Rect;

// A rectangle from its corner and size; a negative size gives right < left (or bottom < top).
constexpr Rect CornerAndSize(std::int32_t x, std::int32_t y, std::int32_t width,
                             std::int32_t height) {
    return {x, y, x + width, y + height};
}

// Twips to pixels at `scale`: the corner and the size each rounded down, so that a 1-twip offset
// falls on pixel 0 without changing the size.
Rect ToPixels(const Rect& twips, const platform::DisplayScale& scale);

enum class FramePieceId : std::uint8_t {
    TopLeft,
    Top,
    TopRight,
    Right,
    BottomRight,
    Bottom,
    BottomLeft,
    Left
};

struct FramePiece {
    FramePieceId id;
    Rect destination;  // on the face, twips
    Rect source;       // in the skin picture, twips
    // A piece with no area (a face 120 twips wide has zero-width top and bottom edges), or
    // with a negative size on a face smaller than the frame, is skipped: stretching to a
    // negative size would mirror the picture.
    bool Drawn() const {
        return destination.right > destination.left && destination.bottom > destination.top &&
               source.right > source.left && source.bottom > source.top;
    }
};

struct FaceLayout {
    std::array<FramePiece, 8> pieces;  // in painting order
    double captionTop;                 // twips
    std::int32_t captionLeft;
    std::int32_t captionWidth;
};

// The face's size in twips, as a whole number: ties to even, NaN as 0, and clamped to
// +-2^24 so that no layout sum can overflow.
std::int32_t WholeTwips(double twips);

// Frame pieces and caption for a face of widthTwips x heightTwips, cut from a skin picture of
// skinWidthTwips x skinHeightTwips. The numbers are exact for any face size: a face wider or
// higher than 32767 twips gets its real layout too.
FaceLayout ComputeFaceLayout(std::int32_t widthTwips, std::int32_t heightTwips,
                             double captionHeightTwips,
                             std::int32_t skinWidthTwips = kSkinWidthTwips,
                             std::int32_t skinHeightTwips = kSkinHeightTwips);

// ---- Gradient -------------------------------------------------------------------------------

struct ChannelColour {
    std::uint16_t red, green, blue;
    friend constexpr bool operator==(const ChannelColour&, const ChannelColour&) = default;
};

// A colour literal "&HRRGGBB" as three 16-bit channels: each digit pair, written first red,
// becomes the high byte of its channel ("C6" -> 0xC600).
constexpr ChannelColour ColourFromLiteral(std::string_view literal) {
    if (literal.size() != 8 || literal.substr(0, 2) != "&H") {
        throw std::invalid_argument("colour literal must be &H and six hex digits");
    }
    auto digit = [](char c) -> std::uint16_t {
        if (c >= '0' && c <= '9') return static_cast<std::uint16_t>(c - '0');
        if (c >= 'A' && c <= 'F') return static_cast<std::uint16_t>(c - 'A' + 10);
        if (c >= 'a' && c <= 'f') return static_cast<std::uint16_t>(c - 'a' + 10);
        throw std::invalid_argument("not a hex digit");
    };
    auto channel = [&](std::size_t at) -> std::uint16_t {
        return static_cast<std::uint16_t>((digit(literal[at]) * 16 + digit(literal[at + 1])) << 8);
    };
    return {channel(2), channel(4), channel(6)};
}

inline constexpr ChannelColour kLightColour = ColourFromLiteral("&HFFFFFF");
inline constexpr ChannelColour kDarkColour = ColourFromLiteral("&HC6C5D7");

struct GradientRecords {
    // Positions in pixels, 16-bit channels with the colour in the high byte; entry 2 stays zero.
    std::array<platform::TriVertex, kGradientVertexCount> vertices{};
    platform::GradientRect rect{};  // vertex indices
    friend bool operator==(const GradientRecords&, const GradientRecords&) = default;
};

// Gradient direction for a paint in `buttonState`: StateHighLight reverses it (dark on top),
// StateNormal and StateSelected restore it, any other state keeps `previous`.
bool GradientReversedFor(std::uint8_t buttonState, bool previous);

// The records for a vertical fill over a face of scaleWidthPixels x scaleHeightPixels: entry 0
// at the top-left, entry 1 at the bottom-right (positions rounded ties to even; NaN as 0 and
// out-of-range values clamped), white on top unless reversed.
GradientRecords PaintGradient(bool gradientReversed, double scaleWidthPixels,
                              double scaleHeightPixels);

// ---- DrawState ------------------------------------------------------------------------------

struct FaceSize {
    double widthTwips, heightTwips;              // the face's width and height
    double scaleWidthPixels, scaleHeightPixels;  // the same in pixels
    double captionHeightTwips;                   // the caption label's height
    double skinWidthTwips = kSkinWidthTwips;     // the skin picture's size
    double skinHeightTwips = kSkinHeightTwips;
};

struct FacePaint {
    SkinPicture picture;
    GradientRecords gradient;
    FaceLayout layout;
};

// Everything one paint of the face with `picture` needs; updates gradientReversed first.
FacePaint DrawState(SkinPicture picture, std::uint8_t buttonState, bool& gradientReversed,
                    const FaceSize& size);

}  // namespace Veltrane::Controls
