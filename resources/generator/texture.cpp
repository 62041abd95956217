#include "pictures.h"

namespace veltrane_resources {

// Brushed metal: every row carries long horizontal streaks (random values smoothed along x with a
// wide box filter, wrapping around so the strip tiles sideways), a small per-row brightness offset,
// and a fine grain. Rows are independent, so the strip also tiles downwards without a seam. At a
// scale the strip and its filters are that much longer, the rows that much finer.
Image DrawTexture(DisplayScale scale) {
    const int kWidth = scale.Pixels(579), kHeight = scale.Pixels(21);
    const int longReach = scale.Pixels(24), shortReach = scale.Pixels(4);
    constexpr int kBase = 204;  // light grey, a little above the panels' 192
    Image img(kWidth, kHeight);
    Random random(0x5EED7E47u);
    std::vector<int> noise(static_cast<std::size_t>(kWidth));
    for (int y = 0; y < kHeight; ++y) {
        const int rowOffset = random.range(-5, 5);
        for (int& v : noise) v = random.range(-40, 40);
        // Two box filters of different lengths: long soft streaks plus shorter scratches.
        for (int x = 0; x < kWidth; ++x) {
            int longSum = 0, shortSum = 0;
            for (int k = -longReach; k <= longReach; ++k)
                longSum += noise[static_cast<std::size_t>((x + k + kWidth) % kWidth)];
            for (int k = -shortReach; k <= shortReach; ++k)
                shortSum += noise[static_cast<std::size_t>((x + k + kWidth) % kWidth)];
            const int streak =
                longSum * 3 / ((2 * longReach + 1) * 2) + shortSum / ((2 * shortReach + 1) * 4);
            const int grain = static_cast<int>(HashPoint(x, y, 7) % 5) - 2;
            const int v = kBase + rowOffset + streak + grain;
            img.at(x, y) = Pack(v, v, v + 3);
        }
    }
    return img;
}

}  // namespace veltrane_resources
