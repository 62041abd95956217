#include "effects/rotate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "effects/rotate_kernels.h"
#include "unit/rotate_reference.h"
#include "unit/rotate_trig_table.inc"

namespace {

using Veltrane_B1::RotateBlock;
namespace rd = Veltrane_B1::rotate_detail;

TEST(RotateTrig, MatchesCorrectlyRoundedTable) {
    std::vector<std::int32_t> wrong;
    for (const RotateTrigEntry& e : kRotateTrigTable) {
        float s = 0, c = 0;
        rd::SinCos(e.angle, s, c);
        if (std::bit_cast<std::uint32_t>(s) != e.sinBits ||
            std::bit_cast<std::uint32_t>(c) != e.cosBits)
            wrong.push_back(e.angle);
    }
    EXPECT_EQ(wrong, std::vector<std::int32_t>{});
}

// Three images plus guard bytes on both sides, the stack starting at an odd offset.
struct Stack {
    std::int32_t w, h;
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
    Stack(std::int32_t width, std::int32_t height, std::mt19937& rng, std::size_t misalign = 3)
        : w(width), h(height), offset(64 + misalign), bytes(12u * std::max(w, 0) * h + 128) {
        for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
    }
    std::uint8_t* base() { return bytes.data() + offset; }
    std::uint8_t* pixel(int image, int x, int y) {
        return base() + (std::size_t(image - 1) * w * h + std::size_t(y - 1) * w + (x - 1)) * 4;
    }
    RotateBlock block(std::int32_t mode, std::uint32_t back) {
        return {w, h, base(), nullptr, 1, back, mode};
    }
};

constexpr std::uint32_t kBack = 0x00332211;  // red 0x11, green 0x22, blue 0x33
constexpr int kBg = -1;

// Source pixel (x, y) holds blue 10 * x + y, green 0x77 and red 0 (constant channels stay exact
// under bilinear weights); each destination pixel must hold the expected blue with that green and
// red, or the background, with byte 3 untouched. Modes 0 and 1 read image 3, modes 2 and 3 image 1.
TEST(RotateKnownPictures, NearestAndBilinear) {
    struct Geometry {
        bool bilinear;  // modes 1 and 3, else 0 and 2
        std::int32_t w, h;
        float cx, cy;
        std::int32_t angle;
    };
    const struct {
        Geometry g;
        std::vector<int> expected;  // per destination pixel, top line first: blue, or kBg
    } cases[] = {
        // Half turn 4x4.
        {{false, 4, 4, 2, 2, 540},
         {kBg, kBg, kBg, kBg, 31, 21, 11, kBg, 32, 22, 12, kBg, 33, 23, 13, kBg}},
        // Quarter turn 4x4.
        {{false, 4, 4, 2, 2, 450},
         {kBg, kBg, kBg, kBg, 11, 12, 13, 14, 21, 22, 23, 24, 31, 32, 33, 34}},
        // Quarter turn 5x3.
        {{false, 5, 3, 2, 1, 450},
         {11, 12, 13, kBg, kBg, 21, 22, 23, kBg, kBg, 31, 32, 33, kBg, kBg}},
        // 45 degrees 4x4.
        {{false, 4, 4, 2, 2, 405},
         {kBg, 13, 14, kBg, 12, 13, 23, 34, 11, 22, 33, 33, 21, 31, 32, 43}},
        // Angle 0 copies.
        {{false, 3, 2, 1, 1, 360}, {12, 22, 32, 11, 21, 31}},
        // Bilinear angle 0: outer ring background, inner copied.
        {{true, 4, 4, 2, 2, 360},
         {kBg, kBg, kBg, kBg, kBg, 23, 33, kBg, kBg, 22, 32, kBg, kBg, kBg, kBg, kBg}},
        // Bilinear 30 degrees 6x6.
        {{true, 6, 6, 3, 3, 390},
         {kBg, kBg, 21, kBg, kBg, kBg, kBg, 16, 25, 34, 43, kBg, kBg, 20,  29, 38, 47, 56,
          15,  24,  33, 42,  51,  60,  19,  28, 37, 46, 55, kBg, kBg, kBg, 41, 50, 60, kBg}},
    };
    std::mt19937 rng(1);
    for (const auto& [c, expected] : cases) {
        for (const std::int32_t mode : {0 + c.bilinear, 2 + c.bilinear}) {
            Stack s(c.w, c.h, rng);
            for (int y = 1; y <= c.h; ++y)
                for (int x = 1; x <= c.w; ++x) {
                    std::uint8_t* p = s.pixel(mode < 2 ? 3 : 1, x, y);
                    p[0] = std::uint8_t(10 * x + y), p[1] = 0x77, p[2] = 0;
                    s.pixel(2, x, y)[3] = std::uint8_t(0xA0 + x + y);
                }
            Veltrane_B1::Rotate(s.block(mode, kBack), c.cx, c.cy, c.angle);
            for (int line = 0; line < c.h; ++line)
                for (int x = 1; x <= c.w; ++x) {
                    const int y = c.h - line, want = expected[std::size_t(line * c.w + x - 1)];
                    const std::uint8_t* p = s.pixel(2, x, y);
                    const std::vector<int> got{p[0], p[1], p[2], p[3]};
                    const std::vector<int> exp =
                        want == kBg ? std::vector<int>{0x33, 0x22, 0x11, 0xA0 + x + y}
                                    : std::vector<int>{want, 0x77, 0, 0xA0 + x + y};
                    EXPECT_EQ(got, exp) << c.w << "x" << c.h << " angle " << c.angle << " mode "
                                        << mode << " at " << x << "," << y;
                }
        }
    }
}

// The reference's bytes for a call on `s`: the yardstick every fast path must match.
std::vector<std::uint8_t> Expected(const Stack& s, RotateBlock block, float cx, float cy,
                                   std::int32_t angle) {
    std::vector<std::uint8_t> expected = s.bytes;
    block.pixelBase = expected.data() + s.offset;
    rotate_reference::Rotate(block, cx, cy, angle);
    return expected;
}

// A random call: sizes around and across tile edges (none or negative too), centres near (whole
// and half pixels) and far, every angle, known and unknown modes.
struct RandomCall {
    std::int32_t w, h, mode, angle;
    float cx, cy;
    std::uint32_t back;
};

RandomCall MakeCall(std::mt19937& rng) {
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    auto size = [&] {
        const int k = pick(10);
        return k < 6 ? pick(41) : k < 8 ? 1 + pick(3) : 60 + pick(240);
    };
    RandomCall c;
    c.w = size(), c.h = size();
    const std::int32_t odd[] = {-1, 4, 5, INT32_MIN, INT32_MAX};
    c.mode = pick(10) < 9 ? pick(4) : odd[pick(5)];
    const int a = pick(10);
    c.angle = a < 4 ? pick(721) : a < 7 ? pick(3001) - 1000 : std::int32_t(rng());
    const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
    const float extreme[] = {1e10f, -1e10f, 3e9f, -3e9f, 1e-40f, 0.0f, inf, nan};
    auto centre = [&](std::int32_t n) {
        const int k = pick(10);
        if (k < 6) return float(n / 2 + pick(7) - 3) + 0.5f * float(pick(2));  // whole or half
        if (k < 9) return std::uniform_real_distribution<float>(-2.0f * n, 3.0f * n + 1)(rng);
        return extreme[pick(8)];
    };
    c.cx = centre(c.w), c.cy = centre(c.h);
    if (pick(40) == 0) c.w = -1 - pick(5);  // a negative size: nothing is written
    c.back = rng();
    return c;
}

// Every fast path, thread count and tiling gives the reference's bytes, and touches nothing else:
// unknown modes and empty images leave every byte as it was.
TEST(RotateFastPaths, MatchReferenceByteForByte) {
    int compared = 0;
    for (const auto& [isa, name] : {std::pair{rd::Isa::Baseline, "scalar"},
                                    {rd::Isa::Avx2, "avx2"},
                                    {rd::Isa::Avx512, "avx512"}}) {
        if (!rd::IsaAvailable(isa)) {
            std::printf("[ skipped  ] %s not available\n", name);
            continue;
        }
        // No image at all: nothing happens, and nothing crashes.
        rd::RotateWith({4, 4, nullptr, nullptr, 1, 0, 2}, 2, 2, 400, {isa, 1, 128, 128});
        for (const int threads : {1, 2, 3}) {
            std::mt19937 rng(1000u + unsigned(isa) * 10u + unsigned(threads));
            for (int n = 0; n < 1500; ++n) {
                const RandomCall c = MakeCall(rng);
                const int tile = rng() % 4 == 0 ? 1 + int(rng() % 200) : 128;
                const rd::Options options{isa, threads, tile, 1 + int(rng() % 150),
                                          rd::Path(rng() % 5)};
                Stack s(c.w, c.h, rng, rng() % 8);
                const RotateBlock block = s.block(c.mode, c.back);
                const std::vector<std::uint8_t> expected = Expected(s, block, c.cx, c.cy, c.angle);
                rd::RotateWith(block, c.cx, c.cy, c.angle, options);
                ASSERT_TRUE(s.bytes == expected)
                    << name << " threads " << threads << " tile " << options.tileWidth << "x"
                    << options.tileHeight << ": " << c.w << "x" << c.h << " mode " << c.mode
                    << " angle " << c.angle << " centre " << c.cx << "," << c.cy;
                ++compared;
            }
        }
    }
    EXPECT_GE(compared, 4500);
}

// Every whole angle through each kernel that the instruction set has, at sizes odd and even, on
// one thread and tiled on two; each call takes the kernel asked for (the exact ones at the right
// angles, where they apply).
TEST(RotateFastPaths, EveryWholeAngleOnEachKernel) {
    const struct {
        std::int32_t w, h;
        float cx, cy;
        int threads, tile;
    } shapes[] = {{48, 33, 24, 16, 1, 128},  // the session's centre
                  {35, 50, 17, 25, 2, 16},   // tiled, two threads
                  {67, 40, 12, 31, 2, 32}};  // off centre: much background beside the exact paths
    using P = rd::Path;
    const std::pair<rd::Isa, std::vector<P>> kernels[] = {
        {rd::Isa::Baseline, {P::Gather, P::Exact}},
        {rd::Isa::Avx2, {P::Gather, P::Rows, P::Columns, P::Exact}},
        {rd::Isa::Avx512, {P::Gather, P::Rows, P::Columns, P::Exact}}};
    std::mt19937 rng(11);
    for (const auto& [w, h, cx, cy, threads, tile] : shapes) {
        for (int angle = 360; angle < 720; ++angle) {
            Stack s(w, h, rng);
            const RotateBlock block = s.block(angle % 2 == 0 ? 2 : 0, kBack);
            const std::vector<std::uint8_t> expected = Expected(s, block, cx, cy, angle);
            for (const auto& [isa, paths] : kernels) {
                if (!rd::IsaAvailable(isa)) continue;
                for (const P path : paths) {
                    const rd::Options options{isa, threads, tile, tile, path};
                    Stack copy = s;
                    const RotateBlock b = copy.block(block.mode, kBack);
                    rd::RotateWith(b, cx, cy, angle, options);
                    ASSERT_TRUE(copy.bytes == expected)
                        << w << "x" << h << " isa " << int(isa) << " path " << int(path)
                        << " angle " << angle;
                    if (path != P::Exact || angle % 90 == 0) {
                        EXPECT_EQ(rd::PlanFor(b, cx, cy, angle, options).path, path) << angle;
                    }
                }
            }
        }
    }
}

// The public entry point from two threads at once: both results stay exact.
TEST(RotateFastPaths, ConcurrentCallersShareThePool) {
    std::mt19937 rng(7);
    Stack a(700, 400, rng), b(640, 480, rng);
    const RotateBlock ra = a.block(2, kBack), rb = b.block(3, kBack);
    const auto wantA = Expected(a, ra, 350, 200, 407), wantB = Expected(b, rb, 320, 240, 631);
    std::thread other([&] {
        for (int i = 0; i < 5; ++i) Veltrane_B1::Rotate(rb, 320, 240, 631);
    });
    for (int i = 0; i < 5; ++i) Veltrane_B1::Rotate(ra, 350, 200, 407);
    other.join();
    EXPECT_TRUE(a.bytes == wantA);
    EXPECT_TRUE(b.bytes == wantB);
}

}  // namespace
