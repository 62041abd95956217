#include <array>
#include <string_view>

#include "pictures.h"

namespace veltrane_resources {
namespace {

// The hand, one character per pixel: '.' transparent, K black outline, W white, g light grey
// shading, B blue cuff, b dark blue cuff shading. Rows are padded with '.' to 32 columns.
constexpr std::array<std::string_view, 32> kHand = {
    "",
    "           KKK",
    "          KWWWK",
    "          KWWgK",
    "          KWWgK",
    "          KWWgK",
    "          KWWgK",
    "          KWWgKKK",
    "          KWWgKWgKKK",
    "          KWWgKWgKWgKK",
    "          KWWgKWgKWgKWK",
    "          KWWgKWgKWgKWgK",
    "      KKK KWWWKWgKWgKWgK",
    "      KWWKKWWWKWWKWWKWgK",
    "      KWWgKWWWWWWWWWWWgK",
    "       KWWgWWWWWWWWWWWgK",
    "       KWWWWWWWWWWWWWWgK",
    "        KWWWWWWWWWWWWWgK",
    "        KWWWWWWWWWWWWWgK",
    "         KWWWWWWWWWWWgK",
    "         KWWWWWWWWWWWgK",
    "          KWWWWWWWWWgK",
    "          KWWWWWWWWWgK",
    "          KKKKKKKKKKKK",
    "          KBBBBBBBBBbK",
    "          KBBBBBBBBBbK",
    "          KBBBBBBBBBbK",
    "          KbbbbbbbbbbK",
    "          KKKKKKKKKKKK",
    "",
    "",
    "",
};

// The standard 16-colour palette.
constexpr std::array<Colour, 16> kPalette = {
    Rgb(0x000000), Rgb(0x800000), Rgb(0x008000), Rgb(0x808000), Rgb(0x000080), Rgb(0x800080),
    Rgb(0x008080), Rgb(0xC0C0C0), Rgb(0x808080), Rgb(0xFF0000), Rgb(0x00FF00), Rgb(0xFFFF00),
    Rgb(0x0000FF), Rgb(0xFF00FF), Rgb(0x00FFFF), Rgb(0xFFFFFF)};

std::uint8_t IndexOf(char c) {
    switch (c) {
        case 'W':
            return 15;
        case 'g':
            return 7;
        case 'B':
            return 12;
        case 'b':
            return 4;
        default:
            return 0;  // outline and transparent
    }
}

}  // namespace

// Pixel art: at a scale each pixel takes the hand's pixel under its centre.
IndexedPicture DrawHandCursor(DisplayScale scale) {
    IndexedPicture p;
    p.width = p.height = scale.Pixels(32);
    p.bitsPerPixel = 4;
    p.palette.assign(kPalette.begin(), kPalette.end());
    for (int y = 0; y < p.height; ++y) {
        const std::string_view row = kHand[static_cast<std::size_t>(SourcePixel(y, p.height, 32))];
        for (int x = 0; x < p.width; ++x) {
            const auto at = static_cast<std::size_t>(SourcePixel(x, p.width, 32));
            const char c = at < row.size() ? row[at] : '.';
            const bool clear = c == '.' || c == ' ';
            p.transparent.push_back(clear);
            p.indices.push_back(clear ? 0 : IndexOf(c));
        }
    }
    return p;
}

int HandHotSpot(int at100, DisplayScale scale) {
    const int length = scale.Pixels(32);
    return static_cast<int>((at100 + 0.5) * length / 32);
}

}  // namespace veltrane_resources
