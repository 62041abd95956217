#include "pictures.h"

namespace veltrane_resources {
namespace {

// Colours of one skin. Every colour of the outer 4 pixels is fixed here; the centre (rows 4-20,
// columns 4-59) never reaches the screen and gets a face gradient.
struct SkinColours {
    int inset;    // 0: outline on row/column 1; 1: outline one pixel further in
    Colour face;  // outermost ring (only used when inset is 1)
    Colour marginTop, marginBottom, marginLeft, marginRight;
    Colour outline, cornerOuter, cornerInner;
    Colour bandTop[2];                 // top band rows, outer first
    Colour bandBottom[2];              // bottom band rows, inner (upper) first
    Colour leftTop[2], leftBottom[2];  // side band columns, outer first: top and bottom colours
    Colour rightTop[2], rightBottom[2];
    Colour centreTop, centreBottom;
};

constexpr Colour kMarginTop = Rgb(0xE0DCC9), kMarginBottom = Rgb(0xF8F7F0);
constexpr Colour kMarginLeft = Rgb(0xE2DECB), kMarginRight = Rgb(0xF0EEE0);
constexpr Colour kOutline = Rgb(0x003C74), kCornerOuter = Rgb(0x7A95A8),
                 kCornerInner = Rgb(0x255783);
constexpr Colour kDialogFace = Rgb(0xECE9D8);
constexpr Colour kGradientLight = Rgb(0xFFFFFF), kGradientDark = Rgb(0xC6C5D7);

// The bands inside the outline: two colours each (outer first; the bottom band inner first),
// the side bands fading from their top to their bottom colours.
struct Bands {
    Colour top[2], bottom[2], leftTop[2], leftBottom[2], rightTop[2], rightBottom[2];
};

// Every skin but Disable: the same margins, outline and corners around its own bands.
SkinColours Framed(const Bands& k, Colour centreTop, Colour centreBottom, int inset = 0,
                   Colour face = 0) {
    return {inset,
            face,
            kMarginTop,
            kMarginBottom,
            kMarginLeft,
            kMarginRight,
            kOutline,
            kCornerOuter,
            kCornerInner,
            {k.top[0], k.top[1]},
            {k.bottom[0], k.bottom[1]},
            {k.leftTop[0], k.leftTop[1]},
            {k.leftBottom[0], k.leftBottom[1]},
            {k.rightTop[0], k.rightTop[1]},
            {k.rightBottom[0], k.rightBottom[1]},
            centreTop,
            centreBottom};
}

SkinColours ColoursOf(Skin skin) {
    switch (skin) {
        case Skin::Normal:
            return Framed({{Rgb(0xF3F3EE), Rgb(0xF3F3EE)},
                           {Rgb(0xE0DED4), Rgb(0xD6D0C5)},
                           {Rgb(0xFDFDFC), Rgb(0xFDFDFC)},
                           {Rgb(0xECEBE6), Rgb(0xECEBE6)},
                           {Rgb(0xF6F4F2), Rgb(0xF6F4F2)},
                           {Rgb(0xE0DDD4), Rgb(0xE0DDD4)}},
                          kGradientLight, kGradientDark);
        case Skin::HighLight:
            return Framed({{Rgb(0xFFF0CF), Rgb(0xFDD889)},
                           {Rgb(0xF8B330), Rgb(0xE59700)},
                           {Rgb(0xFEDF9A), Rgb(0xFCD279)},
                           {Rgb(0xF9B435), Rgb(0xF8B535)},
                           {Rgb(0xFEDF9A), Rgb(0xFCD279)},
                           {Rgb(0xF9B435), Rgb(0xF8B535)}},
                          kGradientDark, kGradientLight);
        case Skin::Selected:
            return Framed({{Rgb(0xCEE7FF), Rgb(0xCEE7FF)},
                           {Rgb(0x6982EE), Rgb(0x6982EE)},
                           {Rgb(0xB7D0F4), Rgb(0xB7D0F4)},
                           {Rgb(0x8BADE4), Rgb(0x8BADE4)},
                           {Rgb(0xB7D0F4), Rgb(0xB7D0F4)},
                           {Rgb(0x8BADE4), Rgb(0x8BADE4)}},
                          kGradientLight, kGradientDark);
        case Skin::Pressed:
            // Outline one pixel further in; the band is a single pixel wide.
            return Framed({{Rgb(0xD1CCC1), Rgb(0xD1CCC1)},
                           {Rgb(0xF2F1EE), Rgb(0xF2F1EE)},
                           {Rgb(0xDAD8CF), Rgb(0xDAD8CF)},
                           {Rgb(0xD0CEC4), Rgb(0xD0CEC4)},
                           {Rgb(0xE6E6E1), Rgb(0xE6E6E1)},
                           {Rgb(0xDCDCD6), Rgb(0xDCDCD6)}},
                          Rgb(0xE2E0D8), Rgb(0xF4F3EE), 1, kDialogFace);
        case Skin::Disable:
            return {0,
                    0,
                    kDialogFace,
                    kDialogFace,
                    kDialogFace,
                    kDialogFace,
                    Rgb(0xC9C7BA),
                    Rgb(0xD8D5C7),
                    Rgb(0xCBC9BC),
                    {Rgb(0xF5F4EA), Rgb(0xF5F4EA)},
                    {Rgb(0xF5F4EA), Rgb(0xF5F4EA)},
                    {Rgb(0xF5F4EA), Rgb(0xF5F4EA)},
                    {Rgb(0xF5F4EA), Rgb(0xF5F4EA)},
                    {Rgb(0xF5F4EA), Rgb(0xF5F4EA)},
                    {Rgb(0xF5F4EA), Rgb(0xF5F4EA)},
                    Rgb(0xF5F4EA),
                    Rgb(0xF5F4EA)};
    }
    return {};
}

}  // namespace

namespace {

Image DrawSkinAt100(Skin skin) {
    const SkinColours k = ColoursOf(skin);
    const int w = kSkinWidth, h = kSkinHeight;
    const int o = 1 + k.inset;  // outline row/column from each edge
    const int bandWidth = k.inset ? 1 : 2;
    Image img(w, h);
    const int top = o + 1 + bandWidth - 1,
              bottom = h - 1 - o - bandWidth;  // last top-band row, first bottom-band row
    // Centre: a vertical gradient like the face the frame surrounds.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.at(x, y) = Mix(k.centreTop, k.centreBottom, y, h - 1);
    // Side bands fade over the rows between the top and bottom bands.
    const int sideFirst = top + 1, sideLast = bottom - 1;
    for (int y = sideFirst; y <= sideLast; ++y)
        for (int b = 0; b < bandWidth; ++b) {
            const int step = y - sideFirst, steps = sideLast - sideFirst;
            img.at(o + 1 + b, y) = Mix(k.leftTop[b], k.leftBottom[b], step, steps);
            img.at(w - 2 - o - b, y) = Mix(k.rightTop[b], k.rightBottom[b], step, steps);
        }
    for (int x = o + 1; x <= w - 2 - o; ++x)
        for (int b = 0; b < bandWidth; ++b) {
            img.at(x, o + 1 + b) = k.bandTop[b];
            img.at(x, bottom + b) = k.bandBottom[b];
        }
    // Outline rectangle.
    for (int x = o; x <= w - 1 - o; ++x) img.at(x, o) = img.at(x, h - 1 - o) = k.outline;
    for (int y = o; y <= h - 1 - o; ++y) img.at(o, y) = img.at(w - 1 - o, y) = k.outline;
    // Margins outside the outline; rows take the corners.
    for (int ring = 0; ring < o; ++ring) {
        const bool outer = k.inset && ring == 0;
        for (int y = ring; y <= h - 1 - ring; ++y) {
            img.at(ring, y) = outer ? k.face : k.marginLeft;
            img.at(w - 1 - ring, y) = outer ? k.face : k.marginRight;
        }
        for (int x = ring; x <= w - 1 - ring; ++x) {
            img.at(x, ring) = outer ? k.face : k.marginTop;
            img.at(x, h - 1 - ring) = outer ? k.face : k.marginBottom;
        }
    }
    // Rounded corners: the outline cuts across each corner over three pixels.
    const int xs[2] = {o, w - 1 - o}, ys[2] = {o, h - 1 - o};
    for (int cx = 0; cx < 2; ++cx)
        for (int cy = 0; cy < 2; ++cy) {
            const int x = xs[cx], y = ys[cy], dx = cx ? -1 : 1, dy = cy ? -1 : 1;
            img.at(x, y) = k.cornerOuter;
            img.at(x + dx, y) = k.cornerInner;
            img.at(x, y + dy) = k.cornerInner;
        }
    return img;
}

}  // namespace

Image DrawSkin(Skin skin, DisplayScale scale) {
    const Image at100 = DrawSkinAt100(skin);
    const platform::Size size = scale.Pixels(platform::Size{kSkinWidth, kSkinHeight});
    if (size == platform::Size{kSkinWidth, kSkinHeight}) return at100;
    // Pixel art of one- and two-pixel rings: each ring takes the pixels whose centres fall in it.
    Image img(size.width, size.height);
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x)
            img.at(x, y) = at100.at(SourcePixel(x, size.width, kSkinWidth),
                                    SourcePixel(y, size.height, kSkinHeight));
    return img;
}

}  // namespace veltrane_resources
