// The pixel buffer of a session: three screen-sized bottom-up 32-bit images back to back, and the
// one bitmap header that capture and presentation share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

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

}  // namespace Veltrane_B1
