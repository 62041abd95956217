// The rotation routine's arithmetic one pixel at a time, in the model's order: the yardstick.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "effects/rotate.h"
#include "effects/rotate_kernels.h"
#include "platform/rounding.h"

namespace rotate_reference {

inline std::optional<std::int64_t> RoundEven(double t) {  // nothing beyond 32 bits
    return platform::NearestWholeIn(t, INT32_MIN, INT32_MAX);
}

inline void Rotate(const Veltrane_B1::RotateBlock& block, float centreX, float centreY,
                   std::int32_t angleDegrees) {
    const std::int32_t W = block.width, H = block.height;
    if (W < 1 || H < 1 || block.pixelBase == nullptr || block.mode < 0 || block.mode > 3) return;
    float S = 0.0f, C = 0.0f;
    Veltrane_B1::rotate_detail::SinCos(angleDegrees, S, C);
    const double cx = centreX;
    const double cyB = static_cast<float>(static_cast<double>(H) - static_cast<double>(centreY));
    // The background is red, green, blue from the low byte; pixels hold blue first.
    const std::uint8_t back[3] = {std::uint8_t(block.backColour >> 16),
                                  std::uint8_t(block.backColour >> 8),
                                  std::uint8_t(block.backColour)};
    const std::int64_t imageBytes = static_cast<std::int64_t>(W) * H * 4;
    // Modes 0 and 1 read image 3, modes 2 and 3 image 1; the odd modes interpolate.
    const std::uint8_t* src = block.pixelBase + (block.mode < 2 ? 2 * imageBytes : 0);
    const bool bilinear = block.mode % 2 == 1;
    std::uint8_t* dst = block.pixelBase + imageBytes;
    auto at = [W](auto* image, std::int64_t x, std::int64_t y) {
        return image + ((y - 1) * W + (x - 1)) * 4;
    };
    for (std::int32_t y = H; y >= 1; --y) {
        for (std::int32_t x = W; x >= 1; --x) {
            const double u = ((x - cx) * C - (y - cyB) * S) + cx;
            const double v = ((y - cyB) * C + (x - cx) * S) + cyB;
            std::uint8_t* out = at(dst, x, y);
            std::copy_n(back, 3, out);  // the background, unless a source pixel is found
            if (!bilinear) {
                const auto sx = RoundEven(u), sy = RoundEven(v);
                if (sx && sy && *sx >= 1 && *sx <= W && *sy >= 1 && *sy <= H)
                    std::copy_n(at(src, *sx, *sy), 3, out);
            } else {
                const float uf = static_cast<float>(u), vf = static_cast<float>(v);
                const auto sx = RoundEven(double{uf} - 0.5), sy = RoundEven(double{vf} - 0.5);
                if (!sx || !sy || *sx < 1 || *sx > W - 1 || *sy < 1 || *sy > H - 1) continue;
                const float fx = static_cast<float>(double{uf} - *sx);
                const float fy = static_cast<float>(double{vf} - *sy);
                for (int k = 0; k < 3; ++k) {
                    const double p00 = at(src, *sx, *sy)[k], p01 = at(src, *sx + 1, *sy)[k];
                    const double p10 = at(src, *sx, *sy + 1)[k], p11 = at(src, *sx + 1, *sy + 1)[k];
                    const double top = p00 + (p01 - p00) * fx;
                    const double bottom = p10 + (p11 - p10) * fx;
                    const std::int64_t value = *RoundEven(top + (bottom - top) * fy);
                    out[k] = static_cast<std::uint8_t>(std::clamp<std::int64_t>(value, 0, 255));
                }
            }
        }
    }
}

}  // namespace rotate_reference
