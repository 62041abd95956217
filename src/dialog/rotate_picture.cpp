#include "dialog/rotate_picture.h"

#include <cstdint>
#include <vector>

#include "dialog/picture_transform.h"
#include "effects/pixel_stack.h"

namespace Veltrane_B2 {
namespace {

struct Size {
    std::int32_t width;
    std::int32_t height;
};

Size SizeOf(const platform::PicturePanel& panel) {
    const platform::Rect bounds = panel.Bounds();
    return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

// The byte count of a picture, or 0 when it has no area or would not be addressable; the
// platform takes the size as a 32-bit number.
std::size_t PixelBytes(Size size) {
    if (size.width <= 0 || size.height <= 0) return 0;
    const std::int64_t bytes = std::int64_t{size.width} * 4 * size.height;
    return bytes > INT32_MAX ? 0 : static_cast<std::size_t>(bytes);
}

}  // namespace

platform::BitmapInfo TopDownHeader(std::int32_t width, std::int32_t height) {
    platform::BitmapInfo info{};
    Veltrane_B1::DibHeaderFor(width, -height, info);  // a negative height: rows top-down
    return info;
}

void RotatePicture(platform::Host& host, platform::PicturePanel& source,
                   platform::PicturePanel& destination, double angleDegrees, bool smooth) {
    const Size from = SizeOf(source);
    const Size to = SizeOf(destination);
    const std::size_t sourceBytes = PixelBytes(from);
    const std::size_t destinationBytes = PixelBytes(to);
    if (sourceBytes == 0 || destinationBytes == 0) return;

    // A failed read leaves the source black, which turns into a black frame.
    std::vector<std::uint8_t> sourcePixels(sourceBytes);
    platform::BitmapInfo sourceHeader = TopDownHeader(from.width, from.height);
    host.GetDIBits(source.hDC(), source.ImageHandle(), 0, static_cast<std::uint32_t>(from.height),
                   sourcePixels.data(), &sourceHeader, platform::kDibRgbColors);

    std::vector<std::uint8_t> destinationPixels(destinationBytes);
    TransformPixels(sourcePixels.data(), from.width, from.height, destinationPixels.data(),
                    to.width, to.height, angleDegrees, smooth);

    destination.Clear();
    const platform::BitmapInfo destinationHeader = TopDownHeader(to.width, to.height);
    host.SetDIBits(destination.hDC(), destination.ImageHandle(), 0,
                   static_cast<std::uint32_t>(to.height), destinationPixels.data(),
                   &destinationHeader, platform::kDibRgbColors);
    destination.Refresh();
}

}  // namespace Veltrane_B2
