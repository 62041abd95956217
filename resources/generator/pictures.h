// The pictures of the program, each drawn from scratch. Sizes are fixed by the windows that show
// them; resources/resource_ids.h names the file each becomes.
#pragma once

#include <string_view>
#include <vector>

#include "formats.h"
#include "raster.h"

namespace veltrane_resources {

enum class Skin { Normal, HighLight, Selected, Pressed, Disable };

// Button face skins, 64 x 25: only the outer 4 pixels are copied onto a face, the centre is drawn
// in the face's own gradient so that the picture also reads well on its own.
constexpr int kSkinWidth = 64;
constexpr int kSkinHeight = 25;
Image DrawSkin(Skin skin);

// Brushed-metal strip, 579 x 21, tiled over the dialog's panels.
Image DrawTexture();

// Sample photo, 200 x 200: flower-field stripes on a hillside with trees behind.
Image DrawSamplePhoto();

// Pointing-hand cursor, 32 x 32, 16 colours; the fingertip is at (12, 1).
constexpr int kHandHotX = 12;
constexpr int kHandHotY = 1;
IndexedPicture DrawHandCursor();

// Window icon: a tilted strip of photo film, at the given size. Small sizes use few colours (for
// 256-colour storage); `smooth` gives full anti-aliasing with alpha for the large PNG image.
Image DrawIcon(int size, bool smooth);

// The desktop that the preview picture turns, 152 x 112.
Image DrawDesktop();

// Desktop turned by angleDegrees (shown clockwise) on white, with the project's rotation routine.
Image DrawPreview(int angleDegrees);

// Every picture side by side, enlarged, on one sheet.
struct SheetItem {
    std::string_view label;
    const Image* image;
    int scale;
};
Image DrawContactSheet(const std::vector<std::vector<SheetItem>>& rows);

}  // namespace veltrane_resources
