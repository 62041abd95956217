#include "pictures.h"

namespace veltrane_resources {

// Brushed metal: every row carries long horizontal streaks (random values smoothed along x with a
// wide box filter, wrapping around so the strip tiles sideways), a small per-row brightness offset,
// and a fine grain. Rows are independent, so the strip also tiles downwards without a seam.
Image DrawTexture() {
    constexpr int kWidth = 579, kHeight = 21;
    constexpr int kBase = 204;  // light grey, a little above the panels' 192
    Image img(kWidth, kHeight);
    Random random(0x5EED7E47u);
    std::vector<int> noise(kWidth);
    for (int y = 0; y < kHeight; ++y) {
        const int rowOffset = random.range(-5, 5);
        for (int& v : noise) v = random.range(-40, 40);
        // Two box filters of different lengths: long soft streaks plus shorter scratches.
        for (int x = 0; x < kWidth; ++x) {
            int longSum = 0, shortSum = 0;
            for (int k = -24; k <= 24; ++k) longSum += noise[(x + k + kWidth) % kWidth];
            for (int k = -4; k <= 4; ++k) shortSum += noise[(x + k + kWidth) % kWidth];
            const int streak = longSum * 3 / (49 * 2) + shortSum / (9 * 4);
            const int grain = static_cast<int>(HashPoint(x, y, 7) % 5) - 2;
            const int v = kBase + rowOffset + streak + grain;
            img.at(x, y) = Pack(v, v, v + 3);
        }
    }
    return img;
}

}  // namespace veltrane_resources
