// The pictures of the program, each drawn from scratch. Sizes are fixed by the windows that show
// them, at 100 %; a picture drawn at another scale has each side times that scale, rounded as the
// program rounds (DisplayScale::Pixels). resources/resource_ids.h names the file each becomes.
#pragma once

#include <string_view>
#include <vector>

#include "formats.h"
#include "platform/scaling.h"
#include "raster.h"

namespace veltrane_resources {

using platform::DisplayScale;

enum class Skin { Normal, HighLight, Selected, Pressed, Disable };

// Button face skins, 64 x 25 at 100 %: only the outer 4 pixels are copied onto a face, the centre
// is drawn in the face's own gradient so that the picture also reads well on its own. At another
// scale every ring of the frame (margin, outline, band) gets its share of the wider frame.
constexpr int kSkinWidth = 64;
constexpr int kSkinHeight = 25;
Image DrawSkin(Skin skin, DisplayScale scale);

// Brushed-metal strip, 579 x 21 at 100 %, tiled over the dialog's panels.
Image DrawTexture(DisplayScale scale);

// Sample photo, 200 x 200 at 100 %: flower-field stripes on a hillside with trees behind.
Image DrawSamplePhoto(DisplayScale scale);

// Pointing-hand cursor, 32 x 32 at 100 %, 16 colours; the fingertip is at (12, 1), at a scale at
// the pixel that covers the middle of that one (HandHotSpot).
constexpr int kHandHotX = 12;
constexpr int kHandHotY = 1;
IndexedPicture DrawHandCursor(DisplayScale scale);
int HandHotSpot(int at100, DisplayScale scale);

// Window icon: a tilted strip of photo film, at the given size. Small sizes use few colours (for
// 256-colour storage); `smooth` gives full anti-aliasing with alpha for the large PNG image.
Image DrawIcon(int size, bool smooth);

// The desktop that the preview picture turns, 152 x 112 at 100 %.
Image DrawDesktop(DisplayScale scale);

// Desktop turned by angleDegrees (shown clockwise) on white, with the project's rotation routine.
Image DrawPreview(int angleDegrees, DisplayScale scale);

// Every picture side by side, enlarged, on one sheet.
struct SheetItem {
    std::string_view label;
    const Image* image;
    int scale;
};
Image DrawContactSheet(const std::vector<std::vector<SheetItem>>& rows);

}  // namespace veltrane_resources
