#include <cmath>

#include "pictures.h"

namespace veltrane_resources {
namespace {

constexpr int kSize = 200;

struct Tree {
    double x, baseY, radius;
    bool conical;
    Colour colour;
};

struct Cloud {
    double x, y, rx, ry;
};

// Top edge of the flower hillside: high on the right, falling to the left, gently rolling.
double HillTop(double x) {
    return 96.0 - 0.18 * x + 0.0009 * (x - 60.0) * (x - 60.0);
}

// Far mountains: a broken line through fixed points.
double MountainTop(double x) {
    static const double px[] = {0, 28, 52, 84, 118, 150, 176, 200};
    static const double py[] = {70, 60, 66, 50, 61, 54, 62, 58};
    int i = 0;
    while (i < 6 && x > px[i + 1]) ++i;
    const double t = (x - px[i]) / (px[i + 1] - px[i]);
    return py[i] + (py[i + 1] - py[i]) * t;
}

// Flower colours of the stripes, from the crest downwards; 0 marks a green strip of young crop.
const Colour kStripes[] = {
    Rgb(0x8C4FC0), Rgb(0xF5F3EC), Rgb(0xE8C21C), Rgb(0xD42A34), 0, Rgb(0xF6F4EE),
    Rgb(0x9657C8), Rgb(0xF0CE24), Rgb(0xD9343C), Rgb(0xF7F5EF), 0, Rgb(0x7E46B4),
    Rgb(0xEBC51E), Rgb(0xCF2230)};
constexpr int kStripeCount = sizeof(kStripes) / sizeof(kStripes[0]);

class Scene {
  public:
    Scene() {
        Random random(0xF10A3E5u);
        for (double x = -4; x < kSize + 8;) {
            const bool conical = random.range(0, 2) == 0;
            const double r = conical ? 4.0 + random.unit() * 3.0 : 5.5 + random.unit() * 5.0;
            const Colour greens[] = {Rgb(0x2E5A28), Rgb(0x3A6B2E), Rgb(0x27502F), Rgb(0x45772F)};
            trees_.push_back({x, HillTop(x) + 2.0, r, conical, greens[random.range(0, 3)]});
            x += r * (1.1 + random.unit() * 0.9);
        }
        clouds_ = {
            {30, 18, 22, 8}, {48, 12, 16, 9}, {62, 20, 18, 6}, {150, 34, 20, 5}, {165, 30, 12, 6}};
    }

    Colour Sample(double x, double y, int px, int py) const {
        const double hill = HillTop(x);
        if (y >= hill) return Field(x, y, hill, px, py);
        Colour c = Sky(x, y);
        if (y >= MountainTop(x)) c = Mix(Rgb(0x7F97B2), Rgb(0x9DB0C4), int((y - 50) * 2), 80);
        for (const Tree& t : trees_) {
            if (const Colour tc = TreeColour(t, x, y)) c = tc;
        }
        if (const Colour hc = House(x, y)) c = hc;
        return c;
    }

  private:
    Colour Sky(double x, double y) const {
        Colour c = Mix(Rgb(0x3F7CC4), Rgb(0xCFE0EE), int(y), 80);
        for (const Cloud& k : clouds_) {
            const double dx = (x - k.x) / k.rx, dy = (y - k.y) / k.ry;
            const double d = dx * dx + dy * dy;
            if (d < 1.0) c = Mix(Rgb(0xFBFCFD), Rgb(0xC9D3DE), int(std::max(0.0, dy) * 10), 12);
        }
        return c;
    }

    static Colour TreeColour(const Tree& t, double x, double y) {
        const double dx = x - t.x;
        if (t.conical) {
            // A narrow cone, apex 4.5 radii above its base.
            const double top = t.baseY - t.radius * 4.5;
            if (y < top || y > t.baseY) return 0;
            const double halfWidth = t.radius * (y - top) / (t.baseY - top);
            if (std::fabs(dx) > halfWidth) return 0;
            return dx < 0 ? Shade(t.colour, 22) : t.colour;
        }
        // A round crown on a short trunk; lit from the upper left.
        const double cy = t.baseY - t.radius * 1.6;
        if (std::fabs(dx) < t.radius * 0.16 && y > cy && y <= t.baseY) return Rgb(0x4A3424);
        const double ey = y - cy, d2 = dx * dx + ey * ey;
        if (d2 > t.radius * t.radius) return 0;
        const double light = (-dx - ey) / t.radius;  // -1.4 .. 1.4
        return Shade(t.colour, int(light * 14.0));
    }

    static Colour House(double x, double y) {
        const double left = 140, right = 156, wallTop = 70, ground = HillTop(148) + 1;
        if (x >= left && x <= right && y >= wallTop && y <= ground) {
            const bool window = (x > 143 && x < 146 && y > 73 && y < 76) ||
                                (x > 150 && x < 153 && y > 73 && y < 76);
            return window ? Rgb(0x3A4A5A) : Rgb(0xEFEBE2);
        }
        const double apexX = 148, apexY = 62;
        if (y >= apexY && y < wallTop + 0.5 && std::fabs(x - apexX) <= (y - apexY) * 1.25)
            return Rgb(0xB8322A);
        return 0;
    }

    static Colour Field(double x, double y, double hill, int px, int py) {
        const double v = (y - hill) / (kSize - hill);
        // Stripes are narrow far away (near the crest) and wide close by, and run a little
        // diagonally across the slope.
        const double s = v * (1.6 - 0.6 * v) * 1.05 + (x / kSize) * 0.10 - 0.02;
        const double position = s * kStripeCount;
        int index = int(std::floor(position));
        index = std::max(0, std::min(kStripeCount - 1, index));
        const double fraction = position - std::floor(position);
        const std::uint32_t h = HashPoint(px, py, 11);
        const Colour leaf = Mix(Rgb(0x4F7F2C), Rgb(0x6E9A36), int(h % 8), 8);
        if (fraction < 0.07 + 0.05 * (1 - v)) return Shade(leaf, -28);  // furrow between stripes
        const Colour flower = kStripes[index];
        if (!flower) return Mix(Rgb(0x78A83C), Rgb(0x9CC24E), int((h >> 4) % 8), 8);
        // Flowers with leaves showing through; nearer ground shows more grain.
        const int leafChance = 18 + int(v * 22);
        if (int(h % 100) < leafChance) return leaf;
        return Shade(flower, int((h >> 8) % 21) - 10 - int((1 - v) * 8));
    }

    std::vector<Tree> trees_;
    std::vector<Cloud> clouds_;
};

}  // namespace

// The scene is laid out in the coordinates of the 100 % photo; at a scale each pixel samples the
// part of it that it covers there, and the grain is that of the finer pixels.
Image DrawSamplePhoto(DisplayScale scale) {
    const Scene scene;
    const int size = scale.Pixels(kSize);
    const double factor = static_cast<double>(size) / kSize;
    Image img(size, size);
    constexpr int kSub = 3;  // 3 x 3 samples per pixel smooth the outlines
    for (int py = 0; py < size; ++py)
        for (int px = 0; px < size; ++px) {
            int r = 0, g = 0, b = 0;
            for (int sy = 0; sy < kSub; ++sy)
                for (int sx = 0; sx < kSub; ++sx) {
                    const Colour c = scene.Sample((px + (sx + 0.5) / kSub) / factor,
                                                  (py + (sy + 0.5) / kSub) / factor, px, py);
                    r += Red(c);
                    g += Green(c);
                    b += Blue(c);
                }
            constexpr int n = kSub * kSub;
            img.at(px, py) = Pack((r + n / 2) / n, (g + n / 2) / n, (b + n / 2) / n);
        }
    return img;
}

}  // namespace veltrane_resources
