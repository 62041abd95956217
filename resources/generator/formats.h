// Encoders for the file formats the generator writes: BMP (24-bit, bottom-up), the icon and cursor
// containers that the Win32 resource compiler embeds, and PNG (RGB or RGBA, through libpng). All
// writers produce the same bytes for the same picture.
#pragma once

#include <cstdint>
#include <vector>

#include "raster.h"

namespace veltrane_resources {

using Bytes = std::vector<std::uint8_t>;

// A 24-bit BMP file: BITMAPFILEHEADER + BITMAPINFOHEADER, rows bottom-up, padded to 4 bytes.
Bytes EncodeBmp24(const Image& image);

// A palette picture with a transparency mask, as stored inside .ico and .cur files.
struct IndexedPicture {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 8;               // 4 or 8
    std::vector<Colour> palette;        // at most 1 << bitsPerPixel entries
    std::vector<std::uint8_t> indices;  // top row first
    std::vector<bool> transparent;      // top row first; true where the AND mask is set
};

// Converts an RGBA picture to a palette picture: pixels with alpha < 128 become transparent, the
// others must use at most (1 << bitsPerPixel) - 1 distinct colours (index 0 stays black, the colour
// behind transparent pixels). Returns false when there are too many colours.
bool ToIndexed(const Image& image, int bitsPerPixel, IndexedPicture& out);

// One image of an icon or cursor resource file.
struct IconEntry {
    int width = 0;
    int height = 0;
    Bytes data;              // a DIB (BITMAPINFOHEADER, palette, XOR bits, AND mask) or a PNG
    int colourCount = 0;     // palette size for the directory, 0 when 256 or more
    int planesOrHotX = 1;    // icon: colour planes; cursor: hot spot x
    int bitCountOrHotY = 0;  // icon: bits per pixel; cursor: hot spot y
};

// The DIB form of a palette picture (height doubled for the XOR and AND halves).
Bytes EncodeIconDib(const IndexedPicture& picture);

// An .ico (type 1) or .cur (type 2) file holding the entries in the given order.
Bytes EncodeIconFile(int type, const std::vector<IconEntry>& entries);

// A PNG file of the picture, colour type 2 (RGB) or 6 (RGBA); empty when libpng fails.
Bytes EncodePng(const Image& image, bool withAlpha);

}  // namespace veltrane_resources
