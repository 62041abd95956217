// The rotation routine: set-up, the choice of instruction set and kernel, tiling and threads. The
// per-pixel work is in the kernels: the scalar ones here, the vector ones in rotate_avx2.cpp and
// rotate_avx512.cpp.
#include "effects/rotate.h"

#include <quadmath.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

#include "effects/rotate_kernels.h"
#include "effects/rotate_pool.h"

namespace Veltrane_B1 {
namespace rotate_detail {
namespace {

// Images smaller than this are turned on the calling thread alone.
constexpr std::int64_t kThreadedPixels = 256 * 256;

// The tile (rotate_bench --tiles measures the shapes): wide enough that the hardware prefetchers
// follow each row, small enough that a turned tile's source and the next tile's, fetched ahead,
// stay within the second-level cache. At 3840 x 2160, 256 x 64 tiles took less time than 512 x 64
// ones at most angles with both instruction sets.
constexpr int kTileWidth = 256;
constexpr int kTileHeight = 64;

// The window kernels take a vector's pixels from the few source rows it spans (rotate_vector.h):
// (n - 1) |S| + 2 rows for n pixels along a destination row, (n - 1) |C| + 2 for n pixels down a
// column in the squares. Each pair of rows costs two loads and a permute, so the windows beat the
// gather only while they are low; measured at 3840 x 2160 with rotate_bench --paths and
// --sweep, with 16 pixels the rows win up to 19 degrees (three pairs; with four, from 20 to 24
// degrees, the gather was as fast or faster) and the squares from 79 degrees (two pairs; with
// three, from 76 to 78 degrees, the gather was faster), with 8 the rows win up to 12 degrees and
// the squares nowhere (no limit).
struct Choice {
    double rowsSine;       // the rows where |S| is at most this
    double columnsCosine;  // else the squares where |C| is at most this, else the gather
};
constexpr Choice kChoice16{0.33, 0.2};
constexpr Choice kChoice8{0.21, -1.0};

struct TileWork {
    RowJob job;
    Isa isa;
    Kernels kernels;
    Path path;
    bool bilinear;
    std::int32_t tileWidth;
    std::int32_t tileHeight;
    std::int32_t tilesAcross;
    std::int64_t tileCount;
    int threads;
    std::atomic<std::int64_t> next{0};
};

// The tile at `index` in the order the threads take them.
Tile TileAt(const TileWork& work, std::int64_t index) {
    Tile t;
    t.i0 = static_cast<std::int32_t>(index % work.tilesAcross) * work.tileWidth;
    t.j0 = static_cast<std::int32_t>(index / work.tilesAcross) * work.tileHeight;
    t.n = std::min(work.job.width - t.i0, work.tileWidth);
    t.rows = std::min(work.job.height - t.j0, work.tileHeight);
    return t;
}

// A hint to bring the cache line at p into the second level cache. Written as an instruction the
// compiler must keep: GCC may drop a loop whose only effect is _mm_prefetch.
inline void PrefetchLine(const char* p) {
    asm volatile("prefetcht1 (%0)" ::"r"(p));
}

// The t of line s with from <= base0 + step s + slope t <= to: all or none of them where the
// slope is below 2^-40 (slope t then stays below 2^-9 for any t below 2^31), else those between
// two ends that move linearly with s. The divisions happen once; each line then costs two
// multiplications.
class Band {
  public:
    Band() = default;
    Band(double slope, double base0, double step, double from, double to)
        : flat_(std::fabs(slope) < 0x1p-40), base0_(base0), step_(step), from_(from), to_(to) {
        if (flat_) return;
        const double a = (from - base0) / slope, b = (to - base0) / slope;
        low0_ = std::min(a, b), high0_ = std::max(a, b), endStep_ = -step / slope;
    }

    // Narrows [low, high] to the t of line s. Where a value is not a number, it stays as it is.
    void Limit(double s, double& low, double& high) const {
        if (flat_) {
            const double base = base0_ + step_ * s;
            if (base < from_ || base > to_) high = low - 1;
            return;
        }
        low = std::max(low, low0_ + endStep_ * s), high = std::min(high, high0_ + endStep_ * s);
    }

  private:
    bool flat_ = true;
    double base0_ = 0, step_ = 0, from_ = 0, to_ = 0;
    double low0_ = 0, high0_ = 0, endStep_ = 0;
};

// Brings the source and the destination of the tile that a thread takes next into the second
// level cache while it works on the current one, a share for each of the current tile's rows:
// the gathers and windows then find their pixels there instead of waiting on memory one miss
// after another. The source is the turned tile, a rectangle in the source, one source row at a
// time. Only hints: nothing here decides a result.
class Ahead {
  public:
    Ahead(const TileWork& work, std::int64_t index, std::int32_t steps) : job_(work.job) {
        if (index >= work.tileCount) return;
        next_ = TileAt(work, index);
        // The destination rectangle in the model's coordinates, a pixel wider on each side.
        const double x0 = next_.i0 - 0.5, x1 = next_.i0 + next_.n + 1.5;
        const double y0 = next_.j0 - 0.5, y1 = next_.j0 + next_.rows + 1.5;
        // Its corners' source rows bound the source rows it reads.
        double low = 1e300, high = -1e300;
        for (const double x : {x0, x1}) {
            for (const double y : {y0, y1}) {
                const double v = (y - job_.cyB) * job_.C + (x - job_.cx) * job_.S + job_.cyB;
                low = std::min(low, v), high = std::max(high, v);
            }
        }
        if (!(low <= high)) return;  // a centre that is not a number
        const double rows = job_.height;
        sourceRow_ = static_cast<std::int64_t>(std::clamp(std::floor(low), 1.0, rows + 1));
        sourceEnd_ = static_cast<std::int64_t>(std::clamp(std::ceil(high), 0.0, rows)) + 1;
        sourcePerStep_ = (std::max<std::int64_t>(sourceEnd_ - sourceRow_, 0) + steps - 1) / steps;
        destinationRow_ = 0;
        // Source pixel (u, v) lands at x = C u + S v + cx - C cx - S cyB and
        // y = -S u + C v + cyB + S cx - C cyB; both must lie within the rectangle.
        const double S = job_.S, C = job_.C, cx = job_.cx, cyB = job_.cyB;
        across_ = Band(C, cx - C * cx - S * cyB, S, x0, x1);
        down_ = Band(-S, cyB + S * cx - C * cyB, C, y0, y1);
    }

    void Step() {
        if (destinationRow_ < next_.rows) {
            const char* row = reinterpret_cast<const char*>(
                DestinationPixel(job_, next_.i0, next_.j0 + destinationRow_));
            for (std::int64_t b = 0; b < 4 * std::int64_t{next_.n}; b += 64) PrefetchLine(row + b);
            ++destinationRow_;
        }
        for (std::int64_t k = 0; k < sourcePerStep_ && sourceRow_ < sourceEnd_; ++k, ++sourceRow_)
            SourceRow(sourceRow_);
    }

  private:
    void SourceRow(std::int64_t sy) {
        double low = 1, high = job_.width;
        across_.Limit(static_cast<double>(sy), low, high);
        down_.Limit(static_cast<double>(sy), low, high);
        if (!(low <= high)) return;
        const char* row =
            reinterpret_cast<const char*>(job_.src + (sy - 1) * std::int64_t{job_.width} * 4);
        const std::int64_t first = static_cast<std::int64_t>(low) - 1,
                           last = static_cast<std::int64_t>(high) - 1;
        for (std::int64_t b = first * 4 & ~63; b <= last * 4; b += 64) PrefetchLine(row + b);
    }

    const RowJob& job_;
    Tile next_{0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr};
    Band across_, down_;
    std::int64_t sourceRow_ = 0, sourceEnd_ = 0, sourcePerStep_ = 0;
    std::int32_t destinationRow_ = 0;
};

// The columns of each destination row whose nearest source pixel may lie inside the image: those
// with -0.5 <= u <= width + 1.5 and -0.5 <= v <= height + 1.5, a pixel beyond what rounds to the
// image on each side. Every pixel outside them rounds to a position outside the image and takes
// the background without a fetch. The sums here are not the model's, so the pixel of margin must
// cover the difference: with the centre within 2^24 of the origin (and x, y below 2^31) every
// value on either side stays below 2^33, each operation errs by at most 2^-20, and the two differ
// by far less than a pixel. Centres further out get no spans.
class InsideSpan {
  public:
    explicit InsideSpan(const RowJob& job)
        : usable_(std::fabs(job.cx) <= 0x1p24 && std::fabs(job.cyB) <= 0x1p24),
          S_(job.S),
          C_(job.C),
          width_(job.width),
          height_(job.height) {
        // u = C x - S y + cx - C cx + S cyB and v = S x + C y + cyB - S cx - C cyB.
        const double S = job.S, C = job.C, cx = job.cx, cyB = job.cyB;
        u0_ = cx - C * cx + S * cyB, v0_ = cyB - S * cx - C * cyB;
        u_ = Band(C, u0_, -S, -0.5, job.width + 1.5);
        v_ = Band(S, v0_, C, -0.5, job.height + 1.5);
    }

    // Whether the rows of tile t go by spans. Not where the sources of the tile's four corners,
    // and so of all its pixels, lie inside the image: most tiles are of this kind, and working out
    // their spans would cost more than it saves the others.
    bool Helps(const Tile& t) const {
        if (!usable_) return false;
        for (const double x : {t.i0 + 1.0, t.i0 + static_cast<double>(t.n)}) {
            for (const double y : {t.j0 + 1.0, t.j0 + static_cast<double>(t.rows)}) {
                const double u = C_ * x - S_ * y + u0_, v = S_ * x + C_ * y + v0_;
                if (!(u >= 1 && u <= width_ && v >= 1 && v <= height_)) return true;
            }
        }
        return false;
    }

    // [a, b) among the columns of row r of tile t, one more on each side, then widened to whole
    // vectors of `lanes` (a power of two) from a so that the run kernels need no scalar tail
    // within the tile.
    void Of(const Tile& t, std::int32_t r, std::int32_t lanes, std::int32_t& a,
            std::int32_t& b) const {
        const double y = t.j0 + r + 1;
        double low = t.i0 + 1, high = t.i0 + t.n;  // x of the tile's first and last columns
        u_.Limit(y, low, high);
        v_.Limit(y, low, high);
        if (!(low <= high)) {
            a = b = 0;
            return;
        }
        // Both lie within the tile's columns now, so the conversions cannot overflow.
        const std::int32_t first = static_cast<std::int32_t>(std::floor(low)) - (t.i0 + 1) - 1;
        const std::int32_t end = static_cast<std::int32_t>(std::ceil(high)) - (t.i0 + 1) + 2;
        a = std::max(first, 0) & -lanes;
        b = std::min(t.n, a + ((std::min(end, t.n) - a + lanes - 1) & -lanes));
    }

  private:
    bool usable_;
    double S_, C_, u0_ = 0, v0_ = 0, width_, height_;
    Band u_, v_;
};

// Row r of tile t where only columns [a, b) may see the image: the background on either side,
// and `run` over [k, b), as [a, k) is done already.
void SpannedRow(const RowJob& job, const Tile& t, std::int32_t r, std::int32_t a, std::int32_t k,
                std::int32_t b, RunFn run, const Kernels& kernels) {
    const std::int32_t j = t.j0 + r;
    if (a > 0) kernels.background(job, t.i0, a, j);
    if (k < b) run(job, t, k, b, r);
    if (b < t.n) kernels.background(job, t.i0 + b, t.n - b, j);
}

// Row by row, each row with one run kernel, over its span where there is one (the bilinear
// kernel reads further than the span allows for, and has none).
void RowsTile(const RowJob& job, const Tile& t, std::int32_t r, RunFn run, const Kernels& kernels,
              const InsideSpan* inside, Ahead& ahead) {
    for (; r < t.rows; ++r) {
        ahead.Step();
        std::int32_t a = 0, b = t.n;
        if (inside != nullptr) inside->Of(t, r, kernels.block, a, b);
        SpannedRow(job, t, r, a, a, b, run, kernels);
    }
}

// Squares read down their columns, within the union of their rows' spans; what is left at the
// right and the bottom goes row by row.
void ColumnsTile(const RowJob& job, const Tile& t, const Kernels& kernels, const InsideSpan* inside,
                 Ahead& ahead) {
    const std::int32_t side = kernels.block;
    std::int32_t r = 0;
    for (; r + side <= t.rows; r += side) {
        std::int32_t a = inside == nullptr ? 0 : t.n, b = inside == nullptr ? t.n : 0;
        for (std::int32_t e = 0; e < side; ++e) {
            ahead.Step();
            if (inside == nullptr) continue;
            std::int32_t ea = 0, eb = 0;
            inside->Of(t, r + e, side, ea, eb);
            if (ea < eb) a = std::min(a, ea), b = std::max(b, eb);
        }
        if (a >= b) a = b = 0;
        std::int32_t k = a;
        for (; k + side <= b; k += side) kernels.columns(job, t, k, r);
        for (std::int32_t e = 0; e < side; ++e)
            SpannedRow(job, t, r + e, a, k, b, kernels.rows, kernels);
    }
    RowsTile(job, t, r, kernels.rows, kernels, inside, ahead);
}

// The exact map: the background around the part of the tile whose source is inside, copies or
// transposed squares within it.
void ExactTile(const RowJob& job, const Tile& t, const Kernels& kernels, Ahead& ahead) {
    const ExactMap& m = job.map;
    const std::int32_t iEnd = t.i0 + t.n;
    const std::int32_t ia = std::clamp(m.iLow, t.i0, iEnd), ib = std::clamp(m.iHigh, ia, iEnd);
    const std::int32_t ja = std::max(m.jLow, t.j0), jb = std::min(m.jHigh, t.j0 + t.rows);
    for (std::int32_t j = t.j0; j < t.j0 + t.rows; ++j) {
        ahead.Step();
        if (j < ja || j >= jb || ia == ib) {
            kernels.background(job, t.i0, t.n, j);
            continue;
        }
        kernels.background(job, t.i0, ia - t.i0, j);
        kernels.background(job, ib, iEnd - ib, j);
        if (!m.swap) kernels.exactRun(job, ia, ib - ia, j);
    }
    if (!m.swap || ia == ib) return;
    const std::int32_t side = kernels.block;
    std::int32_t j = ja;
    for (; kernels.exactSquare && j + side <= jb; j += side) {
        std::int32_t i = ia;
        for (; i + side <= ib; i += side) kernels.exactSquare(job, i, j);
        for (std::int32_t e = 0; i < ib && e < side; ++e) ExactTail(job, i, ib - i, j + e);
    }
    for (; j < jb; ++j) ExactTail(job, ia, ib - ia, j);
}

// Takes tiles until none are left.
void RunTiles(void* context) {
    TileWork& work = *static_cast<TileWork*>(context);
    const RowJob& job = work.job;
    const InsideSpan inside(job);
    alignas(64) double colC[kMaxTileSide];
    alignas(64) double colS[kMaxTileSide];
    alignas(64) double rowS[kMaxTileSide];
    alignas(64) double rowC[kMaxTileSide];
    // Each thread claims its next tile before it starts the current one, so that it can bring
    // that tile's pixels in while it works.
    std::int64_t index = work.next.fetch_add(1, std::memory_order_relaxed);
    while (index < work.tileCount) {
        const std::int64_t upcoming = work.next.fetch_add(1, std::memory_order_relaxed);
        Tile t = TileAt(work, index);
        index = upcoming;
        t.colC = colC, t.colS = colS, t.rowS = rowS, t.rowC = rowC;
        Ahead ahead(work, upcoming, t.rows);
        if (work.path == Path::Exact) {
            ExactTile(job, t, work.kernels, ahead);
            continue;
        }
        const InsideSpan* span = !work.bilinear && inside.Helps(t) ? &inside : nullptr;
        for (std::int32_t k = 0; k < t.n; ++k) {
            const double dx = static_cast<double>(t.i0 + k + 1) - job.cx;
            colC[k] = dx * job.C;
            colS[k] = dx * job.S;
        }
        for (std::int32_t r = 0; r < t.rows; ++r) {
            const double dy = static_cast<double>(t.j0 + r + 1) - job.cyB;
            rowS[r] = dy * job.S;
            rowC[r] = dy * job.C;
        }
        if (work.bilinear) {
            RowsTile(job, t, 0, work.kernels.bilinear, work.kernels, nullptr, ahead);
        } else if (work.path == Path::Columns) {
            ColumnsTile(job, t, work.kernels, span, ahead);
        } else {
            RowsTile(job, t, 0, work.path == Path::Rows ? work.kernels.rows : work.kernels.gather,
                     work.kernels, span, ahead);
        }
    }
}

void ScalarNearest(const RowJob& job, const Tile& t, std::int32_t k0, std::int32_t k1,
                   std::int32_t r) {
    ScalarTail(job, t, k0, k1, r, false);
}

void ScalarBilinear(const RowJob& job, const Tile& t, std::int32_t k0, std::int32_t k1,
                    std::int32_t r) {
    ScalarTail(job, t, k0, k1, r, true);
}

// The baseline: one pixel at a time through the exact scalar helpers; no column kernel.
Kernels ScalarKernels() {
    return {1,         ScalarNearest, ScalarNearest, nullptr, ScalarBilinear, BackgroundTail,
            ExactTail, nullptr};
}

// The 0-based t with 0 <= scale * t + offset < limit, scale +-1, as [low, high) within
// [0, extent).
void Span(std::int32_t scale, std::int64_t offset, std::int32_t limit, std::int32_t extent,
          std::int32_t& low, std::int32_t& high) {
    const std::int64_t a = scale > 0 ? -offset : offset - limit + 1;
    low = static_cast<std::int32_t>(std::clamp<std::int64_t>(a, 0, extent));
    high = static_cast<std::int32_t>(std::clamp<std::int64_t>(a + limit, low, extent));
}

// Whole and half pixels up to this size keep every sum of two centres exact in double.
constexpr double kExactCentreLimit = 16777216.0;  // 2^24

ExactMap ExactMapFor(const RowJob& job) {
    ExactMap map;
    const double S = job.S, C = job.C, cx = job.cx, cyB = job.cyB;
    // Centres of whole or half pixels, not too far out (NaN fails here too).
    if (!(std::fabs(cx) <= kExactCentreLimit && std::fabs(cyB) <= kExactCentreLimit) ||
        std::floor(2 * cx) != 2 * cx || std::floor(2 * cyB) != 2 * cyB)
        return map;
    // With C = +-1 the model's u = C x + cx (1 - C) - (y - cyB) S, and v = C y + cyB (1 - C)
    // + (x - cx) S; with S = +-1, u = -S y + (cx + S cyB) + (x - cx) C and v = S x + (cyB - S cx)
    // + (y - cyB) C: a whole-pixel move (the centre terms are exact sums of half pixels) plus a
    // small term of at most |S| or |C| times the largest |x - cx| or |y - cyB|.
    double small, ox, oy;
    if (std::fabs(C) == 1.0) {
        map.xs = map.ys = static_cast<std::int32_t>(C);
        small = std::fabs(S), ox = cx * (1 - C), oy = cyB * (1 - C);
    } else if (std::fabs(S) == 1.0) {
        map.swap = true;
        map.xs = -static_cast<std::int32_t>(S), map.ys = static_cast<std::int32_t>(S);
        small = std::fabs(C), ox = cx + S * cyB, oy = cyB - S * cx;
    } else {
        return map;
    }
    if (std::floor(ox) != ox || std::floor(oy) != oy) return map;
    const double X = std::max(std::fabs(1 - cx), std::fabs(job.width - cx));
    const double Y = std::max(std::fabs(1 - cyB), std::fabs(job.height - cyB));
    // x - cx and y - cyB are exact; each of the four operations after them errs by at most 2^-53
    // of a value below X + Y + |cx| + |cyB|, and the errors pass on through factors of at most 1:
    // their sum stays below 2^-49 times that. With the small term, u and v then lie within a
    // quarter pixel of the whole number, which rounding gives exactly.
    const double rounding = 0x1p-49 * (X + Y + std::fabs(cx) + std::fabs(cyB));
    if (!(small * std::max(X, Y) + rounding <= 0.25)) return map;
    map.valid = true;
    // The formulas count from 1; the map counts from 0.
    map.oi = static_cast<std::int64_t>(ox) + map.xs - 1;
    map.oj = static_cast<std::int64_t>(oy) + map.ys - 1;
    // si runs over [0, width) with i (or j with swap), sj over [0, height) with j (or i).
    if (map.swap) {
        Span(map.xs, map.oi, job.width, job.height, map.jLow, map.jHigh);
        Span(map.ys, map.oj, job.height, job.width, map.iLow, map.iHigh);
    } else {
        Span(map.xs, map.oi, job.width, job.width, map.iLow, map.iHigh);
        Span(map.ys, map.oj, job.height, job.height, map.jLow, map.jHigh);
    }
    return map;
}

// The fewest binary digits after the point that hold f exactly; -1 where even 64 do not (or f is
// not finite).
int FractionBits(double f) {
    if (!std::isfinite(f)) return -1;
    for (int t = 0; t <= 64; ++t)
        if (const double scaled = std::ldexp(f, t); scaled == std::floor(scaled)) return t;
    return -1;
}

}  // namespace

// Whether every product and sum of the model's u and v is exact for every pixel of the image.
// With x - cx a multiple of 2^-tx, y - cyB of 2^-ty and S, C multiples of 2^-tS, 2^-tC, each
// product, each sum and each of u and v is a multiple of 2^-T (T the largest of the sums of
// those digits) below M = |x - cx| + |y - cyB| + |cx| + |cyB| in size, as |S|, |C| <= 1. Where
// M 2^T stays below 2^53 all those multiples are doubles, so no operation rounds.
bool StepsExact(const RowJob& job) {
    const int tx = FractionBits(job.cx), ty = FractionBits(job.cyB);
    const int tS = FractionBits(job.S), tC = FractionBits(job.C);
    if (tx < 0 || ty < 0 || tS < 0 || tC < 0) return false;
    const int T = std::max(tx, ty) + std::max(tS, tC);
    const double X = std::max(std::fabs(1 - job.cx), std::fabs(job.width - job.cx));
    const double Y = std::max(std::fabs(1 - job.cyB), std::fabs(job.height - job.cyB));
    const double M = X + Y + std::fabs(job.cx) + std::fabs(job.cyB);
    return T < 64 && std::ldexp(M, T) < 0x1p53;
}

void SinCos(std::int32_t angleDegrees, float& S, float& C) {
    // a = angle * k is one double multiplication; its sine and cosine must be those of that very
    // double, so no reduction in degrees happens before it.
    const double k = 0.017453292519943295;
    const double a = static_cast<double>(angleDegrees) * k;
    S = static_cast<float>(static_cast<double>(sinq(static_cast<__float128>(a))));
    C = static_cast<float>(static_cast<double>(cosq(static_cast<__float128>(a))));
}

Options DefaultOptions(const RotateBlock& block) {
    static const Isa best = IsaAvailable(Isa::Avx512) ? Isa::Avx512
                            : IsaAvailable(Isa::Avx2) ? Isa::Avx2
                                                      : Isa::Baseline;
    static const int cores =
        std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxThreads);
    const std::int64_t pixels = static_cast<std::int64_t>(block.width) * block.height;
    return {best, pixels < kThreadedPixels ? 1 : cores, 0, 0};
}

namespace {

bool Valid(const RotateBlock& block) {
    return block.mode >= 0 && block.mode <= 3 && block.width >= 1 && block.height >= 1 &&
           block.pixelBase != nullptr;
}

void Prepare(const RotateBlock& block, float centreX, float centreY, std::int32_t angleDegrees,
             const Options& options, TileWork& work) {
    const std::int64_t pixels = static_cast<std::int64_t>(block.width) * block.height;
    const std::int64_t imageBytes = pixels * 4;
    float S = 0.0f;
    float C = 0.0f;
    SinCos(angleDegrees, S, C);
    RowJob& job = work.job;
    job.src = block.pixelBase + (block.mode < 2 ? 2 * imageBytes : 0);
    job.dst = block.pixelBase + imageBytes;
    job.width = block.width;
    job.height = block.height;
    job.cx = centreX;
    job.cyB = static_cast<float>(static_cast<double>(block.height) - centreY);
    job.S = S;
    job.C = C;
    const std::uint32_t back = block.backColour;
    job.background = ((back >> 16) & 0xFFu) | (back & 0xFF00u) | ((back & 0xFFu) << 16);
    job.lastPixel = static_cast<std::int32_t>(pixels > INT32_MAX ? INT32_MAX : pixels - 1);
    job.stepsExact = StepsExact(job);
    job.map = ExactMapFor(job);

    Isa isa = options.isa;
    // The vector kernels index the source with 32-bit pixel offsets.
    if (pixels > INT32_MAX || !IsaAvailable(isa)) isa = Isa::Baseline;
    work.kernels = isa == Isa::Avx512 ? Avx512Kernels()
                   : isa == Isa::Avx2 ? Avx2Kernels()
                                      : ScalarKernels();
    work.bilinear = (block.mode & 1) != 0;
    Path path = options.path;
    if (path == Path::Exact && !job.map.valid) path = Path::Auto;
    if (path == Path::Auto) {
        const Choice& choice = work.kernels.block > 8 ? kChoice16 : kChoice8;
        path = job.map.valid                          ? Path::Exact
               : std::fabs(S) <= choice.rowsSine      ? Path::Rows
               : std::fabs(C) <= choice.columnsCosine ? Path::Columns
                                                      : Path::Gather;
    }
    if (path == Path::Columns && work.kernels.columns == nullptr) path = Path::Rows;
    work.path = work.bilinear ? Path::Gather : path;
    work.isa = isa;

    work.tileWidth = std::clamp(options.tileWidth > 0 ? options.tileWidth : kTileWidth, 1,
                                std::min(kMaxTileSide, block.width));
    work.tileHeight = std::clamp(options.tileHeight > 0 ? options.tileHeight : kTileHeight, 1,
                                 std::min(kMaxTileSide, block.height));
    work.tilesAcross = (block.width - 1) / work.tileWidth + 1;
    const std::int64_t tilesDown = (block.height - 1) / work.tileHeight + 1;
    work.tileCount = tilesDown * work.tilesAcross;
    work.threads = static_cast<int>(
        std::min<std::int64_t>(std::clamp(options.threads, 1, kMaxThreads), work.tileCount));
}

}  // namespace

Plan PlanFor(const RotateBlock& block, float centreX, float centreY, std::int32_t angleDegrees,
             const Options& options) {
    if (!Valid(block)) return {};
    TileWork work;
    Prepare(block, centreX, centreY, angleDegrees, options, work);
    return {work.isa, work.path, work.tileWidth, work.tileHeight, work.threads};
}

void RotateWith(const RotateBlock& block, float centreX, float centreY, std::int32_t angleDegrees,
                const Options& options) {
    if (!Valid(block)) return;
    TileWork work;
    Prepare(block, centreX, centreY, angleDegrees, options, work);
    WorkerPool::Shared().Run(RunTiles, &work, work.threads);
}

}  // namespace rotate_detail

void Rotate(const RotateBlock& block, float centreX, float centreY, std::int32_t angleDegrees) {
    rotate_detail::RotateWith(block, centreX, centreY, angleDegrees,
                              rotate_detail::DefaultOptions(block));
}

}  // namespace Veltrane_B1
