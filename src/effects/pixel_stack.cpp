#include "effects/pixel_stack.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <limits>
#include <new>

namespace Veltrane_B1 {
namespace {
std::atomic<std::uint64_t> allocations{0};

std::size_t RowBytes(const platform::Rect& r) {
    return static_cast<std::size_t>(r.right - r.left) * 4;
}
}  // namespace

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
    ++allocations;
    width_ = width;
    height_ = height;
    imageBytes_ = imageBytes;
    return true;
}

std::uint64_t PixelStack::Allocations() {
    return allocations;
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

bool CapturedDesktop::Add(const platform::Rect& place, const std::uint8_t* image) {
    const std::size_t bytes = RowBytes(place) * static_cast<std::size_t>(place.bottom - place.top);
    std::unique_ptr<std::uint8_t[]> pixels(new (std::nothrow) std::uint8_t[bytes]);
    if (!pixels) return false;
    std::memcpy(pixels.get(), image, bytes);
    parts_.push_back({place, std::move(pixels)});
    return true;
}

void CapturedDesktop::Compose(const platform::Rect& area, std::uint32_t background,
                              std::uint8_t* image) const {
    // The background first; then the captures from the last added to the first, so that the
    // first added is what stays where they overlap. Row y of a bottom-up image of rectangle r
    // shows virtual-screen row r.bottom - 1 - y.
    const std::size_t rowBytes = RowBytes(area);
    const std::int32_t rows = area.bottom - area.top;
    for (std::size_t i = 0; i < rowBytes * static_cast<std::size_t>(rows); i += 4)
        std::memcpy(image + i, &background, 4);
    for (auto part = parts_.rbegin(); part != parts_.rend(); ++part) {
        const platform::Rect& p = part->place;
        const std::int32_t left = std::max(area.left, p.left),
                           right = std::min(area.right, p.right);
        const std::int32_t top = std::max(area.top, p.top),
                           bottom = std::min(area.bottom, p.bottom);
        if (left >= right || top >= bottom) continue;
        for (std::int32_t row = top; row < bottom; ++row) {
            const std::size_t to = static_cast<std::size_t>(area.bottom - 1 - row) * rowBytes +
                                   static_cast<std::size_t>(left - area.left) * 4;
            const std::size_t from = static_cast<std::size_t>(p.bottom - 1 - row) * RowBytes(p) +
                                     static_cast<std::size_t>(left - p.left) * 4;
            std::memcpy(image + to, part->pixels.get() + from,
                        static_cast<std::size_t>(right - left) * 4);
        }
    }
}

}  // namespace Veltrane_B1
