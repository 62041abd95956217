// Internal interface of the rotation routine: the kernels of each instruction set, the options
// the tests and the benchmark use to pick a path, and the exact scalar pixel helpers shared by
// the kernels.
#pragma once

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

#include "effects/rotate.h"
#include "platform/cpu.h"

namespace Veltrane_B1::rotate_detail {

// A call whose model positions are provably whole-pixel moves of the destination position (angle
// 0 and the right angles about a whole or half pixel centre; ExactMapFor proves it). With 0-based
// destination column i and row j and 0-based source column si and row sj:
//   si = xs * (swap ? j : i) + oi,  sj = ys * (swap ? i : j) + oj.
// The pixels of columns [iLow, iHigh) and rows [jLow, jHigh) have their source inside the image,
// all others get the background.
struct ExactMap {
    bool valid = false;
    bool swap = false;
    std::int32_t xs = 1, ys = 1;
    std::int64_t oi = 0, oj = 0;
    std::int32_t iLow = 0, iHigh = 0, jLow = 0, jHigh = 0;
};

// Everything a kernel needs for one call. Coordinates follow the routine's convention: pixel
// (x, y) with x = 1..width and y = 1..height counted from the first row in memory; kernels take
// 0-based column i = x - 1 and row j = y - 1.
struct RowJob {
    const std::uint8_t* src;
    std::uint8_t* dst;
    std::int32_t width;
    std::int32_t height;
    double cx;                 // centre x as passed
    double cyB;                // centre row counted from the first row in memory, rounded to single
    double S;                  // sin of the angle, rounded to single
    double C;                  // cos of the angle, rounded to single
    std::uint32_t background;  // blue, green, red in bytes 0..2, byte 3 zero
    std::int32_t lastPixel;    // width * height - 1, the largest source pixel index
    // Every product and sum of the model's u and v is exact for every pixel of the image, so
    // a run's u and v may advance by whole steps of C and S and still give the same doubles.
    bool stepsExact;
    ExactMap map;
};

// One destination tile: columns [i0, i0 + n) and rows [j0, j0 + rows), with the model's column
// and row terms, each one double operation on an exact difference:
// colC[k] = (x - cx) * C and colS[k] = (x - cx) * S for column i0 + k,
// rowS[r] = (y - cyB) * S and rowC[r] = (y - cyB) * C for row j0 + r.
struct Tile {
    std::int32_t i0, n, j0, rows;
    const double* colC;
    const double* colS;
    const double* rowS;
    const double* rowC;
};

// Columns [k0, k1) of the tile's row r (both counted within the tile).
using RunFn = void (*)(const RowJob& job, const Tile& tile, std::int32_t k0, std::int32_t k1,
                       std::int32_t r);
// The square of Kernels::block columns and rows from the tile's column k and row r.
using BlockFn = void (*)(const RowJob& job, const Tile& tile, std::int32_t k, std::int32_t r);
// Columns [i, i + n) of destination row j (image coordinates).
using SpanFn = void (*)(const RowJob& job, std::int32_t i, std::int32_t n, std::int32_t j);
// The square of Kernels::block columns and rows from destination column i and row j.
using SquareFn = void (*)(const RowJob& job, std::int32_t i, std::int32_t j);

// One instruction set's kernels. A null function means the set has no such kernel.
struct Kernels {
    std::int32_t block;  // pixels per vector, the side of the squares
    RunFn gather;        // nearest pixel, the source fetched with gathers
    RunFn rows;          // nearest pixel, a window of source rows where a vector's pixels fit it
    BlockFn columns;     // nearest pixel, a square read down its columns and turned in registers
    RunFn bilinear;
    SpanFn background;     // the background colour
    SpanFn exactRun;       // the exact map without swap: a copy, forwards or backwards
    SquareFn exactSquare;  // the exact map with swap: a transpose
};

// How the nearest-pixel kernels fetch the source: Auto chooses by angle, the others force a
// kernel (for the tests and the benchmark). Exact falls back to Auto's choice where no exact map
// exists; the bilinear modes always take the one bilinear kernel.
enum class Path { Auto, Gather, Rows, Columns, Exact };

// Isa::Baseline selects the scalar kernels (rotate.cpp).
using platform::Isa;
using platform::IsaAvailable;

struct Options {
    Isa isa;
    int threads;     // 1 = the caller's thread only
    int tileWidth;   // 0: the routine's own
    int tileHeight;  // 0: the routine's own
    Path path = Path::Auto;
};

inline constexpr int kMaxTileSide = 512;
inline constexpr int kMaxThreads = 16;

Options DefaultOptions(const RotateBlock& block);
void RotateWith(const RotateBlock& block, float centreX, float centreY, std::int32_t angleDegrees,
                const Options& options);

// What RotateWith does for a call: the instruction set it can use, the path with Auto and Exact
// resolved, the tile and the number of threads.
struct Plan {
    Isa isa = Isa::Baseline;
    Path path = Path::Auto;
    int tileWidth = 0, tileHeight = 0;
    int threads = 0;
};
Plan PlanFor(const RotateBlock& block, float centreX, float centreY, std::int32_t angleDegrees,
             const Options& options);

// S and C of the angle: sin and cos of (angle * k) in double, k the double nearest pi / 180,
// evaluated far beyond double precision, rounded to double and then to single.
void SinCos(std::int32_t angleDegrees, float& S, float& C);

// Whether every product and sum of the model's u and v is exact for every pixel of the job's
// image (RowJob::stepsExact).
bool StepsExact(const RowJob& job);

Kernels Avx2Kernels();
Kernels Avx512Kernels();

// Nearest integer, ties to even; any value outside the signed 32-bit range (and NaN) gives
// INT32_MIN, which every range test below rejects.
inline std::int32_t RoundToInt(double t) {
    return _mm_cvtsd_si32(_mm_set_sd(t));
}

// 1 <= s <= limit, for limit >= 0.
inline bool InRange(std::int32_t s, std::int32_t limit) {
    return static_cast<std::uint32_t>(s) - 1u < static_cast<std::uint32_t>(limit);
}

inline std::uint32_t LoadPixel(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// Writes bytes 0..2 of the pixel at p, keeping byte 3.
inline void StoreColour(std::uint8_t* p, std::uint32_t colour) {
    p[0] = static_cast<std::uint8_t>(colour);
    p[1] = static_cast<std::uint8_t>(colour >> 8);
    p[2] = static_cast<std::uint8_t>(colour >> 16);
}

inline const std::uint8_t* SourcePixel(const RowJob& job, std::int32_t sx, std::int32_t sy) {
    return job.src + (static_cast<std::int64_t>(sy - 1) * job.width + (sx - 1)) * 4;
}

inline std::uint8_t* DestinationPixel(const RowJob& job, std::int32_t i, std::int32_t j) {
    return job.dst + (static_cast<std::int64_t>(j) * job.width + i) * 4;
}

inline std::uint32_t NearestColour(const RowJob& job, double u, double v) {
    const std::int32_t sx = RoundToInt(u);
    if (!InRange(sx, job.width)) return job.background;
    const std::int32_t sy = RoundToInt(v);
    if (!InRange(sy, job.height)) return job.background;
    return LoadPixel(SourcePixel(job, sx, sy)) & 0xFFFFFFu;
}

inline constexpr double kTwo23 = 8388608.0;
inline constexpr double kTwoMinus46 = 1.0 / 70368744177664.0;

// One channel of the bilinear blend. With the weights fx, fy in [0, 1] multiples of 2^-23
// (fxi = fx * 2^23), top and bottom are exact integers scaled by 2^23; the final blend is the
// model's double arithmetic, scaled by 2^46, which rounds identically.
inline std::int32_t BlendChannel(std::int32_t p00, std::int32_t p01, std::int32_t p10,
                                 std::int32_t p11, std::int32_t fxi, std::int32_t fyi) {
    const std::int32_t top = (p00 << 23) + (p01 - p00) * fxi;
    const std::int32_t bottom = (p10 << 23) + (p11 - p10) * fxi;
    const double sum = static_cast<double>(top) * kTwo23 +
                       static_cast<double>(bottom - top) * static_cast<double>(fyi);
    std::int32_t value = RoundToInt(sum * kTwoMinus46);
    if (value > 255) value = 255;
    if (value < 0) value = 0;
    return value;
}

inline std::uint32_t BilinearColour(const RowJob& job, double u, double v) {
    const double uf = static_cast<float>(u);
    const double vf = static_cast<float>(v);
    const std::int32_t sx = RoundToInt(uf - 0.5);
    const std::int32_t sy = RoundToInt(vf - 0.5);
    if (!InRange(sx, job.width - 1) || !InRange(sy, job.height - 1)) return job.background;
    // Inside, uf and vf exceed 1, so uf - sx and vf - sy are exact multiples of 2^-23 in [0, 1].
    const std::int32_t fxi = static_cast<std::int32_t>((uf - sx) * kTwo23);
    const std::int32_t fyi = static_cast<std::int32_t>((vf - sy) * kTwo23);
    const std::uint8_t* p0 = SourcePixel(job, sx, sy);
    const std::uint8_t* p1 = p0 + static_cast<std::int64_t>(job.width) * 4;
    std::uint32_t colour = 0;
    for (int c = 0; c < 3; ++c) {
        colour |=
            static_cast<std::uint32_t>(BlendChannel(p0[c], p0[c + 4], p1[c], p1[c + 4], fxi, fyi))
            << (8 * c);
    }
    return colour;
}

// The kernels' scalar remainder: columns [k0, k1) of the tile's row r.
inline void ScalarTail(const RowJob& job, const Tile& tile, std::int32_t k0, std::int32_t k1,
                       std::int32_t r, bool bilinear) {
    std::uint8_t* d = DestinationPixel(job, tile.i0, tile.j0 + r);
    for (std::int32_t k = k0; k < k1; ++k) {
        const double u = (tile.colC[k] - tile.rowS[r]) + job.cx;
        const double v = (tile.rowC[r] + tile.colS[k]) + job.cyB;
        StoreColour(d + 4 * k, bilinear ? BilinearColour(job, u, v) : NearestColour(job, u, v));
    }
}

// Columns [i, i + n) of row j under the exact map, one pixel at a time; all of them inside.
inline void ExactTail(const RowJob& job, std::int32_t i, std::int32_t n, std::int32_t j) {
    const ExactMap& m = job.map;
    std::uint8_t* d = DestinationPixel(job, i, j);
    for (std::int32_t k = 0; k < n; ++k) {
        const std::int64_t a = m.swap ? j : i + k, b = m.swap ? i + k : j;
        const std::int64_t pixel = (m.ys * b + m.oj) * job.width + (m.xs * a + m.oi);
        StoreColour(d + 4 * k, LoadPixel(job.src + 4 * pixel));
    }
}

inline void BackgroundTail(const RowJob& job, std::int32_t i, std::int32_t n, std::int32_t j) {
    std::uint8_t* d = DestinationPixel(job, i, j);
    for (std::int32_t k = 0; k < n; ++k) StoreColour(d + 4 * k, job.background);
}

}  // namespace Veltrane_B1::rotate_detail
