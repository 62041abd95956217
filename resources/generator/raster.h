// Small raster toolkit for the resource generator: an RGBA image, colour arithmetic and a
// deterministic pseudo-random generator. Everything here is integer or plain IEEE arithmetic
// (no transcendental functions), so the generated files are identical on every run.
#pragma once

#include <cstdint>
#include <vector>

namespace veltrane_resources {

// A colour as 0xAARRGGBB; opaque colours are written as 0xFFRRGGBB.
using Colour = std::uint32_t;

constexpr Colour Rgb(std::uint32_t rrggbb) {
    return 0xFF000000u | (rrggbb & 0xFFFFFFu);
}
constexpr std::uint8_t Red(Colour c) {
    return static_cast<std::uint8_t>(c >> 16);
}
constexpr std::uint8_t Green(Colour c) {
    return static_cast<std::uint8_t>(c >> 8);
}
constexpr std::uint8_t Blue(Colour c) {
    return static_cast<std::uint8_t>(c);
}
constexpr std::uint8_t Alpha(Colour c) {
    return static_cast<std::uint8_t>(c >> 24);
}
constexpr Colour Pack(int r, int g, int b, int a = 255) {
    auto clamp = [](int v) { return static_cast<std::uint32_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); };
    return clamp(a) << 24 | clamp(r) << 16 | clamp(g) << 8 | clamp(b);
}

// Mixes a and b: step 0 gives a, step == steps gives b (steps > 0; step is clamped to that
// range), rounding to nearest.
constexpr Colour Mix(Colour a, Colour b, int step, int steps) {
    step = step < 0 ? 0 : (step > steps ? steps : step);
    auto channel = [&](int shift) {
        const int x = static_cast<int>((a >> shift) & 0xFF);
        const int y = static_cast<int>((b >> shift) & 0xFF);
        const int num = x * (steps - step) + y * step;
        return (num + steps / 2) / steps;
    };
    return Pack(channel(16), channel(8), channel(0), channel(24));
}

// Adds the same offset to red, green and blue (clamped); alpha is kept.
constexpr Colour Shade(Colour c, int offset) {
    return Pack(Red(c) + offset, Green(c) + offset, Blue(c) + offset, Alpha(c));
}

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;  // row-major, top row first

    Image() = default;
    Image(int w, int h, Colour fill = 0) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}
    Colour& at(int x, int y) { return pixels[std::size_t(y) * width + x]; }
    Colour at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// Of a picture `length` pixels long drawn again `scaledLength` long, the pixel of the first that
// the centre of pixel `at` of the second falls on, counted from the nearer edge: the rings of a
// frame get the same widths at both edges. At the same length every pixel is its own.
inline int SourcePixel(int at, int scaledLength, int length) {
    const bool far = 2 * at >= scaledLength;
    const int fromEdge = far ? scaledLength - 1 - at : at;
    const int source = static_cast<int>((fromEdge + 0.5) * length / scaledLength);
    return far ? length - 1 - source : source;
}

// splitmix64: a tiny generator with a fixed, documented output sequence.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform integer in [low, high].
    int range(int low, int high) {
        return low + static_cast<int>(next() % static_cast<std::uint64_t>(high - low + 1));
    }
    // Uniform double in [0, 1) with 53 random bits.
    double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }

  private:
    std::uint64_t state_;
};

// A stateless hash of a pixel position, for per-pixel grain that does not depend on drawing order.
inline std::uint32_t HashPoint(int x, int y, std::uint32_t salt) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8DA6B343u ^
                      static_cast<std::uint32_t>(y) * 0xD8163841u ^ salt * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

}  // namespace veltrane_resources
