#include "font.h"
#include "pictures.h"

namespace veltrane_resources {
namespace {

// Draws in the coordinates of the 100 % desktop onto the desktop at a scale: the pixels x0 to x1
// there cover the pixels from scale.Pixels(x0) to scale.Pixels(x1 + 1) - 1 here, so shapes and
// letters keep crisp edges, and at 100 % every pixel is where it always was.
struct Painter {
    Image& img;
    DisplayScale scale;
};

void FillRect(Painter& p, int x0, int y0, int x1, int y1, Colour c) {
    for (int y = p.scale.Pixels(y0); y < p.scale.Pixels(y1 + 1); ++y)
        for (int x = p.scale.Pixels(x0); x < p.scale.Pixels(x1 + 1); ++x)
            if (p.img.contains(x, y)) p.img.at(x, y) = c;
}

void FrameRect(Painter& img, int x0, int y0, int x1, int y1, Colour c) {
    FillRect(img, x0, y0, x1, y0, c);
    FillRect(img, x0, y1, x1, y1, c);
    FillRect(img, x0, y0, x0, y1, c);
    FillRect(img, x1, y0, x1, y1, c);
}

void DrawText(Painter& p, int x, int y, std::string_view text, Colour c) {
    ForEachTextPixel(x, y, text, 1, [&](int px, int py) { FillRect(p, px, py, px, py, c); });
}

void Label(Painter& img, int centreX, int y, const char* text) {
    const int x = centreX - TextWidth(text) / 2;
    DrawText(img, x + 1, y + 1, text, Rgb(0x10243C));
    DrawText(img, x, y, text, Rgb(0xFFFFFF));
}

void Computer(Painter& img, int x, int y) {
    FillRect(img, x, y, x + 13, y + 9, Rgb(0xD8D4C8));
    FrameRect(img, x, y, x + 13, y + 9, Rgb(0x5A5A5A));
    FillRect(img, x + 2, y + 2, x + 11, y + 7, Rgb(0x2A62C8));
    FillRect(img, x + 3, y + 3, x + 6, y + 4, Rgb(0x7FB2F0));
    FillRect(img, x + 5, y + 10, x + 8, y + 11, Rgb(0x8A8A8A));
    FillRect(img, x + 2, y + 12, x + 11, y + 12, Rgb(0x5A5A5A));
}

void Folder(Painter& img, int x, int y) {
    FillRect(img, x, y + 1, x + 5, y + 2, Rgb(0xE0A820));
    FillRect(img, x, y + 3, x + 13, y + 11, Rgb(0xF6CD4A));
    FrameRect(img, x, y + 3, x + 13, y + 11, Rgb(0xB07C10));
    FillRect(img, x + 1, y + 4, x + 12, y + 4, Rgb(0xFCE9A8));
}

void Bin(Painter& img, int x, int y) {
    FillRect(img, x + 2, y + 2, x + 11, y + 12, Rgb(0xC8CCD2));
    FrameRect(img, x + 2, y + 2, x + 11, y + 12, Rgb(0x5C6470));
    FillRect(img, x + 1, y, x + 12, y + 1, Rgb(0x7C8490));
    for (int k = 4; k <= 9; k += 3) FillRect(img, x + k, y + 4, x + k, y + 10, Rgb(0x8890A0));
}

void Document(Painter& img, int x, int y) {
    FillRect(img, x + 2, y, x + 11, y + 12, Rgb(0xFFFFFF));
    FrameRect(img, x + 2, y, x + 11, y + 12, Rgb(0x6A6A6A));
    for (int k = 3; k <= 10; k += 2) FillRect(img, x + 4, y + k, x + 9, y + k, Rgb(0x4A7AC8));
}

}  // namespace

Image DrawDesktop(DisplayScale scale) {
    constexpr int kW = 152, kH = 112;
    Image picture(scale.Pixels(kW), scale.Pixels(kH));
    Painter img{picture, scale};
    const auto at = [&scale](int at100) { return scale.Pixels(at100); };
    // Wallpaper: sky over a green hill, the hill's edge worked out at each pixel's middle.
    const double factor = static_cast<double>(picture.width) / kW;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const double dx = (x + 0.5) / factor - 0.5 - 105, y100 = (y + 0.5) / factor - 0.5;
            const bool hill = y100 * 400 > 70 * 400 + dx * dx;
            picture.at(x, y) = hill ? Mix(Rgb(0x5FAE38), Rgb(0x2F7A1E), y - at(60), at(45))
                                    : Mix(Rgb(0x2F6CC8), Rgb(0xA9CDEF), y, at(90));
        }
    // Desktop icons with their names.
    Computer(img, 28, 22);
    Label(img, 35, 37, "MY PC");
    Folder(img, 28, 44);
    Label(img, 35, 58, "PHOTOS");
    Bin(img, 28, 66);
    Label(img, 35, 81, "BIN");
    Document(img, 112, 12);
    Label(img, 119, 27, "NOTES");
    // An open window with a thumbnail and a few lines of text.
    constexpr int wx = 52, wy = 38, wr = 114, wb = 90;
    FillRect(img, wx, wy, wr, wb, Rgb(0xF4F3EE));
    FillRect(img, wx, wy, wr, wy + 8, Rgb(0x1F5FD6));
    FrameRect(img, wx, wy, wr, wb, Rgb(0x0F3F9C));
    DrawText(img, wx + 3, wy + 2, "PHOTOS", Rgb(0xFFFFFF));
    FillRect(img, wr - 7, wy + 2, wr - 2, wy + 7, Rgb(0xD8502C));
    DrawText(img, wr - 6, wy + 3, "x", Rgb(0xFFFFFF));
    FillRect(img, wx + 4, wy + 12, wx + 25, wy + 28, Rgb(0x88BDF0));
    FillRect(img, wx + 4, wy + 21, wx + 25, wy + 28, Rgb(0xE8C21C));
    FillRect(img, wx + 4, wy + 24, wx + 25, wy + 25, Rgb(0xD42A34));
    FrameRect(img, wx + 4, wy + 12, wx + 25, wy + 28, Rgb(0x5A5A5A));
    for (int line = 0; line < 4; ++line)
        FillRect(img, wx + 29, wy + 13 + line * 4, wr - 4 - (line % 2) * 8, wy + 14 + line * 4,
                 Rgb(0x9A9A9A));
    for (int line = 0; line < 4; ++line)
        FillRect(img, wx + 4, wy + 33 + line * 4, wr - 6 - (line * 7) % 20, wy + 34 + line * 4,
                 Rgb(0xB0B0B0));
    // Taskbar with the start button and the clock.
    for (int y = at(102); y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.at(x, y) = Mix(Rgb(0x3C82F0), Rgb(0x1F4FBF), y - at(102), at(9));
    FillRect(img, 0, 102, 29, kH - 1, Rgb(0x3A9A3A));
    FillRect(img, 0, 102, 29, 102, Rgb(0x6CC46C));
    DrawText(img, 6, 104, "START", Rgb(0xFFFFFF));
    FillRect(img, 122, 103, kW - 1, kH - 1, Rgb(0x1290E8));
    DrawText(img, 127, 104, "12:00", Rgb(0xFFFFFF));
    FillRect(img, 34, 104, 70, 109, Rgb(0x5A94F0));
    DrawText(img, 37, 105, "PHOTOS", Rgb(0xFFFFFF));
    return picture;
}

}  // namespace veltrane_resources
