#include "effects/pixel_stack.h"

#include <cstring>
#include <limits>
#include <new>

namespace Veltrane_B1 {

bool DibHeaderFor(std::int32_t width, std::int32_t height, platform::BitmapInfo& header) {
    const std::int64_t stride = (std::int64_t{width} * 32 + 31) / 32 * 4;
    const std::int64_t rows = height < 0 ? -std::int64_t{height} : std::int64_t{height};
    const std::int64_t sizeImage = stride * rows;
    if (stride < 0 || sizeImage > std::numeric_limits<std::int32_t>::max()) return false;
    header.biSize = 40;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = 0;
    header.biSizeImage = static_cast<std::uint32_t>(sizeImage);
    return true;
}

void CopyBottomUp(const platform::DibSection& section, std::int32_t lines, std::uint8_t* image) {
    const auto* first = static_cast<const std::uint8_t*>(section.bits);
    const std::int32_t rows = section.height < 0 ? -section.height : section.height;
    const std::size_t rowBytes = static_cast<std::size_t>(section.width) * 4;
    for (std::int32_t y = 0; y < lines; ++y) {
        // Row y counted from the bottom of the picture, wherever it lies in memory.
        const std::int32_t inMemory = section.height < 0 ? rows - 1 - y : y;
        std::memcpy(image + static_cast<std::size_t>(y) * rowBytes,
                    first + static_cast<std::ptrdiff_t>(inMemory) * section.widthBytes, rowBytes);
    }
}

bool PixelStack::Allocate(std::int32_t width, std::int32_t height) {
    Release();
    if (width < 1 || height < 1) return false;
    const auto w = static_cast<std::uint64_t>(width);
    const auto h = static_cast<std::uint64_t>(height);
    // At most 2^31 * 2^31 * 12 = 2^65.6: check against the address space before multiplying out.
    if (w * h > std::numeric_limits<std::size_t>::max() / (4 * kImages)) return false;
    const std::size_t imageBytes = static_cast<std::size_t>(w * h * 4);
    std::uint8_t* bytes = new (std::nothrow) std::uint8_t[imageBytes * kImages]();
    if (!bytes) return false;
    bytes_.reset(bytes);
    width_ = width;
    height_ = height;
    imageBytes_ = imageBytes;
    return true;
}

void PixelStack::Release() {
    bytes_.reset();
    width_ = height_ = 0;
    imageBytes_ = 0;
}

std::uint8_t* PixelStack::Image(int number) {
    if (!bytes_ || number < 1 || number > kImages) return nullptr;
    return bytes_.get() + static_cast<std::size_t>(number - 1) * imageBytes_;
}

const std::uint8_t* PixelStack::Image(int number) const {
    return const_cast<PixelStack*>(this)->Image(number);
}

void PixelStack::CopyImage(int from, int to) {
    const std::uint8_t* source = Image(from);
    std::uint8_t* destination = Image(to);
    if (source && destination && source != destination)
        std::memcpy(destination, source, imageBytes_);
}

}  // namespace Veltrane_B1
