#include <algorithm>

#include "font.h"
#include "pictures.h"

namespace veltrane_resources {
namespace {

constexpr int kGap = 16, kLabelScale = 2, kLabelHeight = 5 * kLabelScale + 6;
constexpr Colour kBackground = Rgb(0xE4E4E4), kBorder = Rgb(0x505050);

int ItemWidth(const SheetItem& item) {
    return std::max(item.image->width * item.scale + 2, TextWidth(item.label, kLabelScale));
}
int ItemHeight(const SheetItem& item) {
    return kLabelHeight + item.image->height * item.scale + 2;
}

// Enlarged copy with a one-pixel border; transparent pixels show a grey checkerboard.
void Place(Image& sheet, const SheetItem& item, int left, int top) {
    DrawText(sheet, left, top, item.label, Rgb(0x202020), kLabelScale);
    const Image& img = *item.image;
    const int x0 = left + 1, y0 = top + kLabelHeight + 1;
    const int w = img.width * item.scale, h = img.height * item.scale;
    for (int y = -1; y <= h; ++y)
        for (int x = -1; x <= w; ++x) {
            Colour c = kBorder;
            if (x >= 0 && y >= 0 && x < w && y < h) {
                const Colour checker = ((x / 8 + y / 8) % 2) ? Rgb(0xFFFFFF) : Rgb(0xCCCCCC);
                const Colour p = img.at(x / item.scale, y / item.scale);
                c = Mix(checker, p | 0xFF000000u, Alpha(p), 255);
            }
            sheet.at(x0 + x, y0 + y) = c;
        }
}

}  // namespace

Image DrawContactSheet(const std::vector<std::vector<SheetItem>>& rows) {
    int width = 0, height = kGap;
    for (const auto& row : rows) {
        int rowWidth = kGap, rowHeight = 0;
        for (const SheetItem& item : row) {
            rowWidth += ItemWidth(item) + kGap;
            rowHeight = std::max(rowHeight, ItemHeight(item));
        }
        width = std::max(width, rowWidth);
        height += rowHeight + kGap;
    }
    Image sheet(width, height, kBackground);
    int top = kGap;
    for (const auto& row : rows) {
        int left = kGap, rowHeight = 0;
        for (const SheetItem& item : row) {
            Place(sheet, item, left, top);
            left += ItemWidth(item) + kGap;
            rowHeight = std::max(rowHeight, ItemHeight(item));
        }
        top += rowHeight + kGap;
    }
    return sheet;
}

}  // namespace veltrane_resources
