// The pixel buffer of a session: three screen-sized bottom-up 32-bit images back to back, and the
// one bitmap header that capture and presentation share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/platform.h"

namespace Veltrane_B1 {

// A BITMAPINFO for a bottom-up 32-bit image of the given size, with biSizeImage worked out from
// the row stride. Returns false, and leaves `header` alone, when a size does not fit in 32 bits.
bool DibHeaderFor(std::int32_t width, std::int32_t height, platform::BitmapInfo& header);

// Copies the bottom `lines` rows of a 32-bit DIB section, in either row order, into a bottom-up
// image with rows of 4 * section.width bytes: what GetDIBits(start 0, `lines`) would write.
// `lines` must not exceed the section's height.
void CopyBottomUp(const platform::DibSection& section, std::int32_t lines, std::uint8_t* image);

class PixelStack {
  public:
    static constexpr int kImages = 3;

    // Allocates the three images, all bytes 0, discarding earlier contents. Returns false, with
    // nothing allocated, for a size below 1 pixel, one whose byte count does not fit the address
    // space, or when there is not enough memory.
    bool Allocate(std::int32_t width, std::int32_t height);
    void Release();
    // How many stacks were allocated so far in this process.
    static std::uint64_t Allocations();
    bool Allocated() const { return bytes_ != nullptr; }

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    // Bytes in one image: 4 * width * height.
    std::size_t ImageBytes() const { return imageBytes_; }
    // Image 1, 2 or 3; nullptr when unallocated or out of range.
    std::uint8_t* Image(int number);
    const std::uint8_t* Image(int number) const;
    // Copies one whole image over another.
    void CopyImage(int from, int to);

    // Shared by capture and presentation.
    platform::BitmapInfo dibHeader;

  private:
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::size_t imageBytes_ = 0;
};

// The desktop as a session captured it: bottom-up 32-bit images at their places on the virtual
// screen. Monitors that come later take their pictures from here.
class CapturedDesktop {
  public:
    // Keeps a copy of a bottom-up image of `place`'s size. Returns false, keeping nothing, when
    // there is no memory for it.
    bool Add(const platform::Rect& place, const std::uint8_t* image);
    bool Empty() const { return parts_.empty(); }
    // Fills a bottom-up image of `area`'s size with what was captured at each of its pixels: where
    // captures overlap, the one added first; `background` (0x00RRGGBB as a pixel's four bytes
    // read little-endian) where none was captured.
    void Compose(const platform::Rect& area, std::uint32_t background, std::uint8_t* image) const;

  private:
    struct Part {
        platform::Rect place;
        std::unique_ptr<std::uint8_t[]> pixels;
    };
    std::vector<Part> parts_;
};

}  // namespace Veltrane_B1
