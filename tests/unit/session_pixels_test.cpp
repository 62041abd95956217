// The pixel stack's sizes and the bitmap header: 32-bit sizes hold every real screen, and sizes
// that cannot be held are refused instead of wrapping.
#include <gtest/gtest.h>

#include <vector>

#include "effects/pixel_stack.h"

namespace {

TEST(PixelStack, SizesAndRefusals) {
    const struct {
        std::int32_t width, height;
        bool header;
        std::uint32_t sizeImage;
    } cases[] = {{1024, 768, true, 3145728},        {1023, 767, true, 3138564},
                 {5120, 2880, true, 58982400},      {3, -2, true, 24},
                 {23170, 23170, true, 2147395600u}, {23171, 23171, false, 0}};
    for (const auto& c : cases) {
        platform::BitmapInfo header;
        ASSERT_EQ(Veltrane_B1::DibHeaderFor(c.width, c.height, header), c.header) << c.width;
        if (!c.header) continue;
        EXPECT_EQ(std::vector<std::int64_t>({header.biSizeImage, header.biWidth, header.biHeight,
                                             header.biBitCount, header.biPlanes}),
                  std::vector<std::int64_t>({c.sizeImage, c.width, c.height, 32, 1}));
    }
    Veltrane_B1::PixelStack stack;
    ASSERT_TRUE(stack.Allocate(1024, 768));
    EXPECT_EQ(stack.ImageBytes(), 3145728u);
    EXPECT_EQ(stack.Image(3) - stack.Image(1), 2 * 3145728);
    EXPECT_EQ(stack.Image(4), nullptr);
    for (auto [w, h] : {std::pair{0, 768}, {1024, 0}, {-1, 5}, {2147483647, 2147483647}}) {
        EXPECT_FALSE(stack.Allocate(w, h)) << w;
        EXPECT_FALSE(stack.Allocated());
        EXPECT_EQ(stack.Image(1), nullptr);
    }
}

}  // namespace
