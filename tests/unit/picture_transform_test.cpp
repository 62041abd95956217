#include "dialog/picture_transform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <vector>

#include "dialog/picture_transform_kernels.h"

namespace {

using Pixels = std::vector<std::uint8_t>;

// The preview's sampling written out literally, one pixel at a time, for comparison.
Pixels Reference(const Pixels& src, int sw, int sh, int dw, int dh, double angle, bool smooth) {
    Pixels dst(static_cast<std::size_t>(dw) * dh * 4, 0);
    const auto cs = Veltrane_B2::ModelCosSin((angle * 0.017453292519943) * -1);
    auto P = [&](int c, int i, int j) { return static_cast<double>(src[(j * sw + i) * 4 + c]); };
    for (int y = 0; y < dh; ++y)
        for (int x = 0; x < dw; ++x) {
            const double dx = x - dw * 0.5, dy = y - dh * 0.5;
            const double u = (dx * cs.cos - dy * cs.sin) + sw * 0.5;
            const double v = (dx * cs.sin + dy * cs.cos) + sh * 0.5;
            const double ix = std::floor(u), iy = std::floor(v);
            if (!(ix >= 0 && ix < sw - 1 && iy >= 0 && iy < sh - 1)) continue;
            const int i = static_cast<int>(ix), j = static_cast<int>(iy);
            const double fx = u - i, fy = v - j;
            for (int c = 0; c <= 2; ++c) {
                const double left = std::nearbyint((1 - fy) * P(c, i, j) + P(c, i, j + 1) * fy);
                const double right =
                    std::nearbyint((1 - fy) * P(c, i + 1, j) + P(c, i + 1, j + 1) * fy);
                const double mixed = std::nearbyint((1 - fx) * left + right * fx);
                dst[(y * dw + x) * 4 + c] =
                    static_cast<std::uint8_t>(smooth ? std::clamp(mixed, 0.0, 255.0) : P(c, i, j));
            }
        }
    return dst;
}

namespace td = Veltrane_B2::transform_detail;

Pixels Transform(const Pixels& src, int sw, int sh, int dw, int dh, double angle, bool smooth,
                 td::Isa isa) {
    Pixels dst(static_cast<std::size_t>(dw) * dh * 4, 0xAB);  // stale content must vanish
    td::TransformPixelsWith(isa, src.data(), sw, sh, dst.data(), dw, dh, angle, smooth);
    return dst;
}

// Each kernel gives the reference's bytes, and these blues for a 6 x 6 picture turned by 37
// degrees.
TEST(PictureTransform, EveryKernelMatchesTheReferenceAndKnownValues) {
    Pixels six(6 * 6 * 4, 0);
    for (int i = 0; i < 36; ++i) six[i * 4] = static_cast<std::uint8_t>(10 * (i % 6) + i / 6);
    const int smoothRows[6][6] = {{0, 0, 5, 13, 20, 0},    {0, 5, 12, 19, 27, 34},
                                  {4, 11, 19, 26, 34, 41}, {11, 18, 26, 33, 40, 48},
                                  {0, 0, 32, 40, 47, 0},   {0, 0, 0, 47, 0, 0}};
    const int nearRows[6][6] = {{0, 0, 1, 10, 10, 0},   {0, 2, 2, 11, 20, 30},
                                {4, 3, 12, 22, 31, 30}, {4, 14, 23, 33, 32, 41},
                                {0, 0, 24, 33, 43, 0},  {0, 0, 0, 44, 0, 0}};
    for (const td::Isa isa : {td::Isa::Baseline, td::Isa::Avx2}) {
        if (!td::IsaAvailable(isa)) {
            std::printf("[ skipped  ] kernel %d not available\n", static_cast<int>(isa));
            continue;
        }
        for (bool smooth : {true, false}) {
            const int(*blue)[6] = smooth ? &smoothRows[0] : &nearRows[0];
            Pixels expected(6 * 6 * 4, 0);
            for (int i = 0; i < 36; ++i) expected[i * 4] = blue[i / 6][i % 6];
            EXPECT_EQ(Transform(six, 6, 6, 6, 6, 37, smooth, isa), expected)
                << "smooth " << smooth << " kernel " << static_cast<int>(isa);
        }
        std::mt19937 rng(7);
        for (int round = 0; round < 400; ++round) {
            const int sw = 1 + rng() % 40, sh = 1 + rng() % 40, dw = 1 + rng() % 40,
                      dh = 1 + rng() % 40;
            Pixels src(static_cast<std::size_t>(sw) * sh * 4);
            for (auto& b : src) b = static_cast<std::uint8_t>(rng());
            const double angle = round % 2 ? static_cast<double>(rng() % 360)
                                           : std::uniform_real_distribution<>(-720, 720)(rng);
            for (bool smooth : {false, true})
                ASSERT_EQ(Transform(src, sw, sh, dw, dh, angle, smooth, isa),
                          Reference(src, sw, sh, dw, dh, angle, smooth))
                    << sw << "x" << sh << " -> " << dw << "x" << dh << " at " << angle << " kernel "
                    << static_cast<int>(isa);
        }
    }
}

TEST(PictureTransform, UnusableInputsGiveBlackWithoutReadingOutside) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    Pixels src(4 * 4 * 4, 200);
    const struct {
        const std::uint8_t* source;
        int width, height;
        double angle;
    } cases[] = {{src.data(), 4, 4, nan},      {src.data(), 4, 4, inf}, {nullptr, 4, 4, 0},
                 {src.data(), 1, 4, 0},        {src.data(), 4, 1, 0},   {src.data(), -4, 4, 0},
                 {src.data(), 4, INT32_MIN, 0}};
    for (const auto& [source, width, height, angle] : cases) {
        Pixels dst(8 * 8 * 4, 0xAB);
        Veltrane_B2::TransformPixels(source, width, height, dst.data(), 8, 8, angle, true);
        EXPECT_EQ(dst, Pixels(dst.size(), 0)) << width << "x" << height << " at " << angle;
    }
    // A destination far larger than 16-bit coordinates: samples beyond +-32768 are just black.
    Pixels wide(70000 * 2 * 4, 0xAB);
    Veltrane_B2::TransformPixels(src.data(), 4, 4, wide.data(), 70000, 2, 90, false);
    EXPECT_EQ(wide[0], 0);
    Veltrane_B2::TransformPixels(src.data(), 4, 4, nullptr, 8, 8, 0, true);  // no crash
}

#if defined(__GLIBC__)
// glibc's cos and sin are accurate to the last bit; ours must stay within one unit of them.
TEST(PictureTransform, CosSinAgreesWithTheCRuntime) {
    const auto unit = [](double x) { return std::nextafter(std::fabs(x), 9) - std::fabs(x); };
    std::mt19937_64 rng(3);
    for (int i = -1440; i < 20000; ++i) {
        const double t = i <= 1440 ? (i * 0.017453292519943) * -1
                                   : std::uniform_real_distribution<>(-2e4, 2e4)(rng);
        const auto cs = Veltrane_B2::ModelCosSin(t);
        EXPECT_LE(std::fabs(cs.cos - std::cos(t)), unit(std::cos(t))) << "cos " << t;
        EXPECT_LE(std::fabs(cs.sin - std::sin(t)), unit(std::sin(t))) << "sin " << t;
    }
}
#endif

}  // namespace
