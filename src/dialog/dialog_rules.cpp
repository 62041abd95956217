#include "dialog/dialog_rules.h"

#include <bit>
#include <cmath>

#include "controls/command_properties.h"
#include "platform/rounding.h"
#include "startup/random.h"

namespace Veltrane_B {
namespace {

// Whole twips from pixels (nearest), divided with truncation toward zero, back to pixels
// (nearest).
std::int32_t PlaceOnAxis(std::int32_t screen, std::int32_t window, double twipsPerPixel,
                         std::int32_t divisor) {
    if (!(twipsPerPixel > 0)) twipsPerPixel = 1;
    const auto freeTwips = platform::NearestWholeIn(
        (static_cast<double>(screen) - window) * twipsPerPixel, -9.0e15, 9.0e15);
    if (!freeTwips) return 0;
    const std::int64_t positionTwips = *freeTwips / divisor;
    return static_cast<std::int32_t>(
        std::nearbyint(static_cast<double>(positionTwips) / twipsPerPixel));
}

}  // namespace

platform::Rect DialogPlace(DialogPart part, const platform::DisplayScale& scale) {
    const Placement& at96 = kDialogLayout[static_cast<std::size_t>(part)];
    const std::int32_t left = scale.Pixels(at96.left), top = scale.Pixels(at96.top);
    return {left, top, left + scale.Pixels(at96.width), top + scale.Pixels(at96.height)};
}

platform::Size DialogSize(DialogPart part, const platform::DisplayScale& scale) {
    const platform::Rect place = DialogPlace(part, scale);
    return {place.right - place.left, place.bottom - place.top};
}

platform::Font DialogFont(bool underline) {
    platform::Font font = Veltrane::Controls::DesignFont();
    font.underline = underline;
    return font;
}

std::optional<std::int16_t> ToInteger16(float value) {
    const auto whole = platform::NearestWholeIn(value, INT16_MIN, INT16_MAX);
    if (!whole) return std::nullopt;
    return static_cast<std::int16_t>(*whole);
}

std::optional<std::int32_t> ToLong32(float value) {
    const auto whole = platform::NearestWholeIn(value, INT32_MIN, INT32_MAX);
    if (!whole) return std::nullopt;
    return static_cast<std::int32_t>(*whole);
}

double ReseededRandom(double seed) {
    // SplitMix64 over the seed's bits: every distinct time gives an unrelated number.
    return SplitMixUniform(std::bit_cast<std::uint64_t>(seed) + kSplitMixIncrement);
}

std::int32_t PreviewAngle(double secondsSinceMidnight) {
    return static_cast<std::int32_t>(std::floor(ReseededRandom(secondsSinceMidnight) * 360.0));
}

platform::Point DialogPosition(std::int32_t screenWidth, std::int32_t screenHeight,
                               std::int32_t windowWidth, std::int32_t windowHeight,
                               double twipsPerPixelX, double twipsPerPixelY) {
    return {PlaceOnAxis(screenWidth, windowWidth, twipsPerPixelX, 2),
            PlaceOnAxis(screenHeight, windowHeight, twipsPerPixelY, 3)};
}

}  // namespace Veltrane_B
