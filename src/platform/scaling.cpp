#include "platform/scaling.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/rounding.h"

namespace platform {
namespace {

std::int32_t FloorDiv(std::int64_t value, std::int64_t divisor) {
    const std::int64_t q = value / divisor;
    return static_cast<std::int32_t>((value % divisor != 0 && value < 0) ? q - 1 : q);
}

// The source pixels one destination pixel of an axis takes, with their weights (summing to 1).
struct Tap {
    std::int32_t first = 0;
    std::vector<double> weights;
};

// A triangle filter over the source positions around each destination pixel's centre, as wide
// as a pixel of the larger of the two lengths on each side; positions beyond the edges count as
// the edge pixel.
std::vector<Tap> Taps(std::int32_t from, std::int32_t to) {
    const double ratio = static_cast<double>(from) / to;
    const double radius = std::max(1.0, ratio);
    std::vector<Tap> taps(static_cast<std::size_t>(to));
    for (std::int32_t i = 0; i < to; ++i) {
        const double centre = (i + 0.5) * ratio - 0.5;
        const auto low = static_cast<std::int32_t>(std::ceil(centre - radius));
        const auto high = static_cast<std::int32_t>(std::floor(centre + radius));
        Tap& tap = taps[static_cast<std::size_t>(i)];
        tap.first = std::clamp(low, 0, from - 1);
        tap.weights.assign(static_cast<std::size_t>(std::clamp(high, 0, from - 1) - tap.first + 1),
                           0.0);
        double total = 0;
        for (std::int32_t j = low; j <= high; ++j) {
            const double weight = 1.0 - std::fabs(j - centre) / radius;
            if (weight <= 0) continue;
            tap.weights[static_cast<std::size_t>(std::clamp(j, 0, from - 1) - tap.first)] += weight;
            total += weight;
        }
        for (double& weight : tap.weights) weight /= total;
    }
    return taps;
}

}  // namespace

std::int32_t DisplayScale::Pixels(std::int32_t at96) const {
    const auto whole =
        NearestWholeIn(static_cast<double>(at96) * dpi_ / kDesignDpi, INT32_MIN, INT32_MAX);
    return whole ? static_cast<std::int32_t>(*whole) : 0;
}

std::int32_t DisplayScale::FloorPixels(std::int32_t twips) const {
    return FloorDiv(std::int64_t{twips} * dpi_, kTwipsPerInch);
}

std::int32_t DisplayScale::NearestPixels(double twips) const {
    const auto whole = NearestWholeIn(twips * dpi_ / kTwipsPerInch, INT32_MIN, INT32_MAX);
    return whole ? static_cast<std::int32_t>(*whole) : 0;
}

std::int32_t DisplayScale::LabelLength(std::int32_t scaled, std::int32_t text) const {
    return dpi_ == kDesignDpi ? scaled : std::max(scaled, text);
}

std::size_t NearestPicture(std::span<const Size> drawn, Size wanted) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < drawn.size(); ++i) {
        const std::int64_t gap = std::llabs(std::int64_t{drawn[i].width} - wanted.width);
        const std::int64_t bestGap = std::llabs(std::int64_t{drawn[best].width} - wanted.width);
        if (gap < bestGap || (gap == bestGap && drawn[i].width > drawn[best].width)) best = i;
    }
    return best;
}

Rect FitInside(Size picture, Size box) {
    if (picture.width <= 0 || picture.height <= 0 || box.width <= 0 || box.height <= 0) return {};
    const double scale = std::min(static_cast<double>(box.width) / picture.width,
                                  static_cast<double>(box.height) / picture.height);
    const auto length = [scale](std::int32_t side, std::int32_t room) {
        return static_cast<std::int32_t>(std::clamp(std::nearbyint(side * scale), 1.0, 1.0 * room));
    };
    const std::int32_t width = length(picture.width, box.width);
    const std::int32_t height = length(picture.height, box.height);
    const std::int32_t left = (box.width - width) / 2, top = (box.height - height) / 2;
    return {left, top, left + width, top + height};
}

void ResizeSmooth(const std::uint8_t* source, Size from, std::uint8_t* destination, Size to) {
    if (from.width <= 0 || from.height <= 0 || to.width <= 0 || to.height <= 0) return;
    if (from == to) {
        std::memcpy(destination, source, std::size_t(from.width) * from.height * 4);
        return;
    }
    const std::vector<Tap> across = Taps(from.width, to.width);
    const std::vector<Tap> down = Taps(from.height, to.height);
    // Along the rows first, into a buffer of the destination's width and the source's height.
    std::vector<double> rows(std::size_t(to.width) * from.height * 4);
    for (std::int32_t y = 0; y < from.height; ++y) {
        const std::uint8_t* line = source + std::size_t(y) * from.width * 4;
        for (std::int32_t x = 0; x < to.width; ++x) {
            const Tap& tap = across[static_cast<std::size_t>(x)];
            double* out = &rows[(std::size_t(y) * to.width + x) * 4];
            for (std::size_t k = 0; k < tap.weights.size(); ++k)
                for (int c = 0; c < 4; ++c)
                    out[c] += tap.weights[k] * line[(tap.first + k) * 4 + c];
        }
    }
    for (std::int32_t y = 0; y < to.height; ++y) {
        const Tap& tap = down[static_cast<std::size_t>(y)];
        for (std::int32_t x = 0; x < to.width; ++x) {
            double sum[4] = {};
            for (std::size_t k = 0; k < tap.weights.size(); ++k)
                for (int c = 0; c < 4; ++c)
                    sum[c] += tap.weights[k] * rows[((tap.first + k) * to.width + x) * 4 + c];
            std::uint8_t* out = destination + (std::size_t(y) * to.width + x) * 4;
            for (int c = 0; c < 4; ++c)
                out[c] = static_cast<std::uint8_t>(std::clamp(std::nearbyint(sum[c]), 0.0, 255.0));
        }
    }
}

}  // namespace platform
