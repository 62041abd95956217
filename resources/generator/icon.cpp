#include <array>
#include <cmath>

#include "pictures.h"

namespace veltrane_resources {
namespace {

enum Part { kClear, kFilm, kEdge, kHole, kFrameBorder, kSky, kSea, kPartCount };

constexpr std::array<Colour, kPartCount> kPartColour = {
    0, Rgb(0xEC8A1C), Rgb(0xA8520A), Rgb(0xFFF0D2), Rgb(0x1B478F), Rgb(0x84BCF2), Rgb(0x2F6FCB)};

// Which part of the film lies at (u, v), both in 0..1 across the icon. The strip runs up to the
// right at the angle whose cosine is 4/5 (exact, no trigonometry needed).
Part PartAt(double u, double v, double line) {
    const double px = u - 0.5, py = v - 0.5;
    const double s = px * 0.8 - py * 0.6;  // along the strip
    const double t = px * 0.6 + py * 0.8;  // across it, positive towards the lower right
    constexpr double kHalfLength = 0.46, kHalfWidth = 0.2;
    if (std::fabs(s) > kHalfLength || std::fabs(t) > kHalfWidth) return kClear;
    if (std::fabs(s) > kHalfLength - line || std::fabs(t) > kHalfWidth - line) return kEdge;
    // Sprocket holes along both edges.
    const double at = std::fabs(t);
    if (at > 0.142 && at < 0.182) {
        const double pitch = 0.092;
        const double k = std::floor(s / pitch + 0.5);
        if (std::fabs(s - k * pitch) < 0.024) return kHole;
    }
    // Three frames, each a small picture: light sky above dark sea.
    constexpr double kFrameHalf = 0.118, kFrameLength = 0.27, kGap = 0.025;
    if (at < kFrameHalf) {
        for (int f = -1; f <= 1; ++f) {
            const double centre = f * (kFrameLength + kGap);
            const double ds = std::fabs(s - centre);
            if (ds > kFrameLength / 2) continue;
            if (ds > kFrameLength / 2 - line || at > kFrameHalf - line) return kFrameBorder;
            return t < 0.02 - 0.1 * (s - centre) ? kSky : kSea;
        }
    }
    return kFilm;
}

}  // namespace

Image DrawIcon(int size, bool smooth) {
    constexpr int kSub = 4;
    const double line = std::max(1.0 / size, 0.014);
    Image img(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            std::array<int, kPartCount> count{};
            for (int sy = 0; sy < kSub; ++sy)
                for (int sx = 0; sx < kSub; ++sx)
                    ++count[PartAt((x + (sx + 0.5) / kSub) / size, (y + (sy + 0.5) / kSub) / size,
                                   line)];
            const int opaque = kSub * kSub - count[kClear];
            if (opaque == 0) continue;
            if (smooth) {
                // Full anti-aliasing with coverage as alpha.
                int r = 0, g = 0, b = 0;
                for (int p = 1; p < kPartCount; ++p) {
                    r += count[p] * Red(kPartColour[p]);
                    g += count[p] * Green(kPartColour[p]);
                    b += count[p] * Blue(kPartColour[p]);
                }
                img.at(x, y) = Pack((r + opaque / 2) / opaque, (g + opaque / 2) / opaque,
                                    (b + opaque / 2) / opaque,
                                    (opaque * 255 + kSub * kSub / 2) / (kSub * kSub));
                continue;
            }
            // Few colours: a pixel mixes at most its two commonest parts in quarter steps, and
            // is either fully opaque or transparent (the icon mask is one bit).
            if (opaque * 2 < kSub * kSub) continue;
            int first = 1, second = 0;
            for (int p = 2; p < kPartCount; ++p)
                if (count[p] > count[first]) first = p;
            for (int p = 1; p < kPartCount; ++p)
                if (p != first && (second == 0 || count[p] > count[second])) second = p;
            const int pair = count[first] + count[second];
            const int quarter = std::min(2, (count[second] * 4 + pair / 2) / pair);
            img.at(x, y) = Mix(kPartColour[first], kPartColour[second], quarter, 4);
        }
    return img;
}

}  // namespace veltrane_resources
