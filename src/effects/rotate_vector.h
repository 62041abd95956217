// The nearest-pixel and exact-map kernels, written once for both vector instruction sets.
// rotate_avx2.cpp and rotate_avx512.cpp include this within their own target options, so each
// compiles it for its own set, and pass the few operations that differ as V:
//   kLanes; Int, a vector of kLanes 32-bit lanes; Double, half as many doubles;
//   LoadDoubles(p), Broadcast(a), Round(lo, hi): the rounded lanes of two Double vectors;
//   Splat(i), Spread(v, lanes): each lane takes v's lane given in `lanes`; First(v); Sub(a, b);
//   InWindow(dx, dy, rows): every lane has 0 <= dx < kLanes and 0 <= dy < rows;
//   Pick(low, high, dx, dy): the pixel at low[dx] where dy is even, high[dx] where it is odd;
//   Half(v): v / 2 in each lane, v >= 0; Choose(a, b, sel, q): b where sel is q, else a;
//   Gather(source, sx, sy): the source pixels at (sx, sy), the background where outside;
//   Load(p), Store(d, colour) (bytes 0..2 only), Reversed(v), Transpose(v[kLanes]).
#pragma once

#include <cmath>
#include <cstdint>

#include "effects/rotate_kernels.h"

namespace Veltrane_B1::rotate_detail {
namespace {

// What the inner loops read of the job, held in the run's own variables: as far as the compiler
// knows, each store of destination pixels may change whatever is reached through a pointer, so
// it would load again after every store each field it reads through the job.
struct Source {
    explicit Source(const RowJob& job)
        : pixels(job.src),
          width(job.width),
          height(job.height),
          background(job.background),
          cx(job.cx),
          cyB(job.cyB) {}
    const std::uint8_t* pixels;
    std::int32_t width, height;
    std::uint32_t background;
    double cx, cyB;
};

template <class V>
struct VectorKernels {
    using Int = typename V::Int;
    using Double = typename V::Double;
    static constexpr int kLanes = V::kLanes;
    static constexpr int kHalf = kLanes / 2;

    // The model's u = (colC - rowS) + cx and v = (rowC + colS) + cyB for one vector of pixels,
    // the first half of the lanes in u0 and v0.
    struct Coordinates {
        Double u0, u1, v0, v1;
        Coordinates(const Source& source, Double colC0, Double colC1, Double rowS0, Double rowS1,
                    Double rowC0, Double rowC1, Double colS0, Double colS1) {
            const Double cx = V::Broadcast(source.cx), cyB = V::Broadcast(source.cyB);
            u0 = (colC0 - rowS0) + cx, u1 = (colC1 - rowS1) + cx;
            v0 = (rowC0 + colS0) + cyB, v1 = (rowC1 + colS1) + cyB;
        }
    };

    // The model's sx = round(u) and sy = round(v).
    struct Positions {
        Int sx, sy;
        explicit Positions(const Coordinates& c)
            : sx(V::Round(c.u0, c.u1)), sy(V::Round(c.v0, c.v1)) {}
    };

    // The positions move monotonically with x and y, so the lanes that hold a vector's smallest
    // sx and smallest sy follow from the signs of S and C.
    struct Corner {
        Int left, bottom;
        Corner(bool leftFirst, bool bottomFirst)
            : left(V::Splat(leftFirst ? 0 : kLanes - 1)),
              bottom(V::Splat(bottomFirst ? 0 : kLanes - 1)) {}
    };

    // A vector of pixels along a run covers at most kLanes source columns (the step along the run
    // is below 1 except at the exact angles) and at most (kLanes - 1) |S| + 2 source rows. Where
    // its pixels lie in such a window, inside the image, plain loads of the window's rows and
    // permutes replace the gather: each lane takes the pixel at its own (sx, sy) within the
    // window, two rows at a time. The window's corner comes from the corner lanes, and every lane
    // is checked against it. False when a lane is outside the window or the window leaves the
    // image; `pairs` is the window's height in pairs of rows.
    static bool FromWindow(const Source& source, const Positions& p, const Corner& corner,
                           int pairs, Int& colour) {
        const Int left = V::Spread(p.sx, corner.left);
        const Int bottom = V::Spread(p.sy, corner.bottom);
        const std::int64_t x = V::First(left), y = V::First(bottom);
        if (x < 1 || x + kLanes - 1 > source.width || y < 1 || y + 2 * pairs - 1 > source.height)
            return false;
        const Int dx = V::Sub(p.sx, left), dy = V::Sub(p.sy, bottom);
        if (!V::InWindow(dx, dy, 2 * pairs)) return false;
        const std::int64_t width = source.width;
        const int* row = reinterpret_cast<const int*>(source.pixels) + (y - 1) * width + (x - 1);
        colour = V::Pick(row, row + width, dx, dy);
        const Int pair = V::Half(dy);
        for (int q = 1; q < pairs; ++q) {
            row += 2 * width;
            colour = V::Choose(colour, V::Pick(row, row + width, dx, dy), pair, q);
        }
        return true;
    }

    // The window's height in pairs of rows for a vector whose sy steps by `step` from lane to lane.
    static int PairsFor(double step) {
        return (static_cast<int>((kLanes - 1) * std::fabs(step)) + 3) / 2;
    }

    // From a window when kWindow and the pixels fit one, else from a gather.
    template <bool kWindow>
    static Int Fetch(const Source& source, const Positions& p, const Corner& corner, int pairs) {
        Int colour;
        if (kWindow && FromWindow(source, p, corner, pairs, colour)) return colour;
        return V::Gather(source, p.sx, p.sy);
    }

    template <bool kWindow>
    static void NearestRun(const RowJob& job, const Tile& t, std::int32_t k0, std::int32_t k1,
                           std::int32_t r) {
        const Double rowS = V::Broadcast(t.rowS[r]), rowC = V::Broadcast(t.rowC[r]);
        const Corner corner(job.C >= 0, job.S >= 0);
        const int pairs = kWindow ? PairsFor(job.S) : 0;
        std::uint8_t* d = DestinationPixel(job, t.i0, t.j0 + r);
        const Source source(job);
        auto at = [&](std::int32_t k) {
            return Coordinates(source, V::LoadDoubles(t.colC + k),
                               V::LoadDoubles(t.colC + k + kHalf), rowS, rowS, rowC, rowC,
                               V::LoadDoubles(t.colS + k), V::LoadDoubles(t.colS + k + kHalf));
        };
        std::int32_t k = k0;
        if (job.stepsExact && k + kLanes <= k1) {
            // Each vector's u and v are the previous vector's plus kLanes steps, exactly.
            Coordinates c = at(k);
            const Double stepU = V::Broadcast(kLanes * job.C), stepV = V::Broadcast(kLanes * job.S);
            for (; k + kLanes <= k1; k += kLanes) {
                V::Store(d + 4 * k, Fetch<kWindow>(source, Positions(c), corner, pairs));
                c.u0 = c.u0 + stepU, c.u1 = c.u1 + stepU;
                c.v0 = c.v0 + stepV, c.v1 = c.v1 + stepV;
            }
        }
        for (; k + kLanes <= k1; k += kLanes)
            V::Store(d + 4 * k, Fetch<kWindow>(source, Positions(at(k)), corner, pairs));
        ScalarTail(job, t, k, k1, r, false);
    }

    // Near 90 and 270 degrees a destination column runs along a source row: each of the square's
    // columns is one vector of its rows, fetched from a window like a row near 0 degrees, and the
    // square is turned in registers before it is stored row by row.
    static void NearestColumns(const RowJob& job, const Tile& t, std::int32_t k, std::int32_t r) {
        const Double rowS0 = V::LoadDoubles(t.rowS + r), rowS1 = V::LoadDoubles(t.rowS + r + kHalf);
        const Double rowC0 = V::LoadDoubles(t.rowC + r), rowC1 = V::LoadDoubles(t.rowC + r + kHalf);
        // Down a column sx falls where S > 0 and sy rises where C > 0.
        const Corner corner(job.S <= 0, job.C >= 0);
        const int pairs = PairsFor(job.C);
        const Source source(job);
        Int square[kLanes];
        for (int m = 0; m < kLanes; ++m) {
            const Double colC = V::Broadcast(t.colC[k + m]), colS = V::Broadcast(t.colS[k + m]);
            square[m] = Fetch<true>(
                source,
                Positions(Coordinates(source, colC, colC, rowS0, rowS1, rowC0, rowC1, colS, colS)),
                corner, pairs);
        }
        V::Transpose(square);
        std::uint8_t* d = DestinationPixel(job, t.i0 + k, t.j0 + r);
        for (int e = 0; e < kLanes; ++e, d += 4 * static_cast<std::int64_t>(job.width))
            V::Store(d, square[e]);
    }

    static void Background(const RowJob& job, std::int32_t i, std::int32_t n, std::int32_t j) {
        const Int background = V::Splat(static_cast<std::int32_t>(job.background));
        std::uint8_t* d = DestinationPixel(job, i, j);
        std::int32_t k = 0;
        for (; k + kLanes <= n; k += kLanes) V::Store(d + 4 * k, background);
        BackgroundTail(job, i + k, n - k, j);
    }

    // The exact map without swap: a run of one source row, forwards or backwards.
    static void ExactRun(const RowJob& job, std::int32_t i, std::int32_t n, std::int32_t j) {
        const ExactMap& m = job.map;
        const int* from = reinterpret_cast<const int*>(job.src) + (m.ys * j + m.oj) * job.width +
                          (m.xs * i + m.oi);  // the source of column i
        std::uint8_t* d = DestinationPixel(job, i, j);
        std::int32_t k = 0;
        if (m.xs > 0) {
            for (; k + kLanes <= n; k += kLanes) V::Store(d + 4 * k, V::Load(from + k));
        } else {
            // Column i + k reads from - k: a vector of columns reads the pixels ending there.
            for (; k + kLanes <= n; k += kLanes)
                V::Store(d + 4 * k, V::Reversed(V::Load(from - k - (kLanes - 1))));
        }
        ExactTail(job, i + k, n - k, j);
    }

    // The exact map with swap: destination column i + m reads source row ys * (i + m) + oj, whose
    // pixels for rows j..j + kLanes - 1 lie side by side (in reverse order when xs < 0).
    static void ExactSquare(const RowJob& job, std::int32_t i, std::int32_t j) {
        const ExactMap& m = job.map;
        const int* src = reinterpret_cast<const int*>(job.src);
        const std::int64_t first = m.xs > 0 ? j + m.oi : m.oi - j - (kLanes - 1);
        Int square[kLanes];
        for (int k = 0; k < kLanes; ++k)
            square[k] = V::Load(src + (m.ys * (i + k) + m.oj) * job.width + first);
        V::Transpose(square);
        std::uint8_t* d = DestinationPixel(job, i, j);
        const std::int64_t stride = 4 * static_cast<std::int64_t>(job.width);
        for (int e = 0; e < kLanes; ++e)
            V::Store(d + stride * (m.xs > 0 ? e : kLanes - 1 - e), square[e]);
    }

    static Kernels With(RunFn bilinear) {
        return {kLanes,   NearestRun<false>, NearestRun<true>, NearestColumns,
                bilinear, Background,        ExactRun,         ExactSquare};
    }
};

}  // namespace
}  // namespace Veltrane_B1::rotate_detail
