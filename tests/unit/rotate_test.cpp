#include "effects/rotate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <sstream>
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

// Source (x, y) is blue 10 * x + y, green 0x77, red 0 (exact under bilinear weights); the blues
// are the destination's, top line first, -- the background; byte 3 stays as it was.
TEST(RotateKnownPictures, NearestAndBilinear) {
    const struct {
        bool bilinear;
        int w, h;
        float cx, cy;
        int angle;
        const char* blues;
    } cases[] = {
        {false, 4, 4, 2, 2, 540, "-- -- -- -- 31 21 11 -- 32 22 12 -- 33 23 13 --"},
        {false, 4, 4, 2, 2, 450, "-- -- -- -- 11 12 13 14 21 22 23 24 31 32 33 34"},
        {false, 5, 3, 2, 1, 450, "11 12 13 -- -- 21 22 23 -- -- 31 32 33 -- --"},
        {false, 4, 4, 2, 2, 405, "-- 13 14 -- 12 13 23 34 11 22 33 33 21 31 32 43"},
        {false, 3, 2, 1, 1, 360, "12 22 32 11 21 31"},
        {true, 4, 4, 2, 2, 360, "-- -- -- -- -- 23 33 -- -- 22 32 -- -- -- -- --"},
        {true, 6, 6, 3, 3, 390,
         "-- -- 21 -- -- -- -- 16 25 34 43 -- -- 20 29 38 47 56 "
         "15 24 33 42 51 60 19 28 37 46 55 -- -- -- 41 50 60 --"},
    };
    std::mt19937 rng(1);
    for (const auto& [bilinear, w, h, cx, cy, angle, blues] : cases)
        for (const std::int32_t mode : {0 + bilinear, 2 + bilinear}) {
            Stack s(w, h, rng);
            for (int y = 1; y <= h; ++y)
                for (int x = 1; x <= w; ++x) {
                    std::uint8_t* p = s.pixel(mode < 2 ? 3 : 1, x, y);
                    p[0] = std::uint8_t(10 * x + y), p[1] = 0x77, p[2] = 0;
                    s.pixel(2, x, y)[3] = std::uint8_t(0xA0 + x + y);
                }
            Veltrane_B1::Rotate(s.block(mode, kBack), cx, cy, angle);
            std::istringstream expected(blues);
            for (int y = h; y >= 1; --y)
                for (int x = 1; x <= w; ++x) {
                    std::string want;
                    expected >> want;
                    const std::uint8_t* p = s.pixel(2, x, y);
                    std::vector<int> colour{0x33, 0x22, 0x11, 0xA0 + x + y};
                    if (want != "--") colour = {std::stoi(want), 0x77, 0, 0xA0 + x + y};
                    EXPECT_EQ(std::vector<int>({p[0], p[1], p[2], p[3]}), colour)
                        << w << "x" << h << " angle " << angle << " mode " << mode << " at " << x
                        << "," << y;
                }
        }
}

struct Call {
    std::int32_t w, h, mode, angle;
    float cx, cy;
    std::uint32_t back;
};

// The reference's bytes for the call on `s` (a copy).
std::vector<std::uint8_t> Expected(Stack s, const Call& c) {
    rotate_reference::Rotate(s.block(c.mode, c.back), c.cx, c.cy, c.angle);
    return s.bytes;
}

// Sizes across tile edges (none or negative too), centres near and far, any angle and mode.
Call RandomCall(std::mt19937& rng) {
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    auto size = [&] {
        const int k = pick(10);
        return k < 6 ? pick(41) : k < 8 ? 1 + pick(3) : 60 + pick(240);
    };
    Call c;
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

testing::AssertionResult Matches(Stack s, const std::vector<std::uint8_t>& expected, const Call& c,
                                 const rd::Options& o) {
    rd::RotateWith(s.block(c.mode, c.back), c.cx, c.cy, c.angle, o);
    if (s.bytes == expected) return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "isa " << int(o.isa) << " path " << int(o.path) << " threads " << o.threads
           << " tile " << o.tileWidth << "x" << o.tileHeight << ": " << c.w << "x" << c.h
           << " mode " << c.mode << " angle " << c.angle << " centre " << c.cx << "," << c.cy;
}

// Every kernel at every whole angle, taking the path asked for, then random calls of every kind.
TEST(RotateFastPaths, MatchReferenceByteForByte) {
    using P = rd::Path;
    std::vector<std::pair<rd::Isa, std::vector<P>>> kernels;
    for (const rd::Isa isa : {rd::Isa::Baseline, rd::Isa::Avx2, rd::Isa::Avx512}) {
        if (rd::IsaAvailable(isa))
            kernels.push_back({isa, {P::Gather, P::Rows, P::Columns, P::Exact}});
        else
            std::printf("[ skipped  ] isa %d not available\n", int(isa));
    }
    kernels[0].second = {P::Gather, P::Exact};  // the scalar set has no window kernels
    const struct {
        std::int32_t w, h;
        float cx, cy;
        int threads, tile;
    } shapes[] = {{48, 33, 24, 16, 1, 128},  // the session's centre
                  {35, 50, 17, 25, 2, 16},   // tiled, two threads
                  {67, 40, 12, 31, 2, 32}};  // off centre: much background beside the exact paths
    std::mt19937 rng(11);
    for (const auto& [w, h, cx, cy, threads, tile] : shapes)
        for (int angle = 360; angle < 720; ++angle) {
            Stack s(w, h, rng);
            const Call c{w, h, angle % 2 == 0 ? 2 : 0, angle, cx, cy, kBack};
            const std::vector<std::uint8_t> expected = Expected(s, c);
            for (const auto& [isa, paths] : kernels)
                for (const P path : paths) {
                    const rd::Options options{isa, threads, tile, tile, path};
                    ASSERT_TRUE(Matches(s, expected, c, options));
                    if (path == P::Exact && angle % 90 != 0) continue;
                    EXPECT_EQ(rd::PlanFor(s.block(c.mode, kBack), cx, cy, angle, options).path,
                              path)
                        << angle;
                }
        }
    for (const auto& [isa, paths] : kernels) {
        rd::RotateWith({4, 4, nullptr, nullptr, 1, 0, 2}, 2, 2, 400, {isa, 1, 128, 128});
        for (const int threads : {1, 2, 3})
            for (int n = 0; n < 1500; ++n) {
                const Call c = RandomCall(rng);
                const int tile = rng() % 4 == 0 ? 1 + int(rng() % 200) : 128;
                const rd::Options options{isa, threads, tile, 1 + int(rng() % 150),
                                          rd::Path(rng() % 5)};
                const Stack s(c.w, c.h, rng, rng() % 8);
                ASSERT_TRUE(Matches(s, Expected(s, c), c, options));
            }
    }
}

// The public entry point from two threads at once: both results stay exact.
TEST(RotateFastPaths, ConcurrentCallersShareThePool) {
    std::mt19937 rng(7);
    Stack a(700, 400, rng), b(640, 480, rng);
    const RotateBlock ra = a.block(2, kBack), rb = b.block(3, kBack);
    const auto wantA = Expected(a, {700, 400, 2, 407, 350, 200, kBack});
    const auto wantB = Expected(b, {640, 480, 3, 631, 320, 240, kBack});
    std::thread other([&] {
        for (int i = 0; i < 5; ++i) Veltrane_B1::Rotate(rb, 320, 240, 631);
    });
    for (int i = 0; i < 5; ++i) Veltrane_B1::Rotate(ra, 350, 200, 407);
    other.join();
    EXPECT_TRUE(a.bytes == wantA);
    EXPECT_TRUE(b.bytes == wantB);
}

// Where the routine lets the vector kernels step u and v, the model's double arithmetic must be
// exact at every pixel: checked against 113-bit arithmetic along the first, middle and last rows.
// The session's whole and half centres must qualify at every angle but the right angles (those
// take the exact map).
TEST(RotateSteps, OnlyWhereTheDoublesAreExact) {
    const struct {
        std::int32_t w, h;
        float cx, cy;
        bool steps;  // every angle but the right angles must step
    } cases[] = {{3840, 2160, 1920, 1080, true},
                 {1920, 1080, 960.5f, 540.5f, true},
                 {67, 40, 12, 31, true},
                 {300, 200, 0.1f, 0.3f, false},
                 {3840, 2160, 3.14159f, 2.71828f, false}};
    int rounded = 0;  // calls whose doubles round somewhere: forcing the steps there must fail
    for (const auto& [w, h, cx, cy, steps] : cases)
        for (int angle = 0; angle < 360; ++angle) {
            float S = 0, C = 0;
            rd::SinCos(angle, S, C);
            rd::RowJob job{};
            job.width = w, job.height = h, job.cx = cx, job.S = S, job.C = C;
            job.cyB = static_cast<float>(static_cast<double>(h) - cy);
            bool exact = true;
            for (const std::int32_t y : {1, h / 2, h})
                for (std::int32_t x = 1; x <= w && exact; ++x) {
                    const double u = ((x - job.cx) * C - (y - job.cyB) * S) + job.cx;
                    const double v = ((y - job.cyB) * C + (x - job.cx) * S) + job.cyB;
                    using Q = __float128;
                    const Q qx = x, qy = y, qcx = job.cx, qcy = job.cyB, qS = S, qC = C;
                    exact = Q(u) == ((qx - qcx) * qC - (qy - qcy) * qS) + qcx &&
                            Q(v) == ((qy - qcy) * qC + (qx - qcx) * qS) + qcy;
                }
            rounded += !exact;
            const bool stepsExact = rd::StepsExact(job);
            EXPECT_TRUE(exact || !stepsExact) << w << "x" << h << " angle " << angle;
            if (steps && angle % 90 != 0) {
                EXPECT_TRUE(stepsExact) << w << "x" << h << " angle " << angle;
            }
        }
    EXPECT_GT(rounded, 100);
}

}  // namespace
