// The rotation routine: set-up, instruction-set choice, tiling and threads. The per-pixel work is
// in the kernels: the scalar one here, the vector ones in rotate_avx2.cpp and rotate_avx512.cpp.
#include "effects/rotate.h"

#include <quadmath.h>

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
constexpr int kDefaultTile = 128;

struct TileWork {
    RowJob job;
    RowKernel kernel;
    std::int32_t tileWidth;
    std::int32_t tileHeight;
    std::int32_t tilesAcross;
    std::int64_t tileCount;
    std::atomic<std::int64_t> next{0};
};

// Asks for the cache lines of columns [i0, i0 + n) of row j of the destination ahead of their
// partial writes, which would otherwise each wait for their line.
void PrefetchDestination(const RowJob& job, std::int32_t i0, std::int32_t n, std::int32_t j) {
    if (j >= job.height) return;
    const std::uint8_t* row = job.dst + (static_cast<std::int64_t>(j) * job.width + i0) * 4;
    for (std::int32_t k = 0; k < n; k += 16)
        _mm_prefetch(reinterpret_cast<const char*>(row + 4 * k), _MM_HINT_T0);
}

// Takes tiles until none are left. Destination tiles keep the source reads of every angle within
// a small, cache-resident part of the source.
void RunTiles(void* context) {
    TileWork& work = *static_cast<TileWork*>(context);
    const RowJob& job = work.job;
    alignas(64) double colC[kMaxTileWidth];
    alignas(64) double colS[kMaxTileWidth];
    for (;;) {
        const std::int64_t tile = work.next.fetch_add(1, std::memory_order_relaxed);
        if (tile >= work.tileCount) return;
        const std::int32_t i0 = static_cast<std::int32_t>(tile % work.tilesAcross) * work.tileWidth;
        const std::int32_t j0 =
            static_cast<std::int32_t>(tile / work.tilesAcross) * work.tileHeight;
        const std::int32_t n = job.width - i0 < work.tileWidth ? job.width - i0 : work.tileWidth;
        const std::int32_t rows =
            job.height - j0 < work.tileHeight ? job.height - j0 : work.tileHeight;
        for (std::int32_t k = 0; k < n; ++k) {
            const double dx = static_cast<double>(i0 + k + 1) - job.cx;
            colC[k] = dx * job.C;
            colS[k] = dx * job.S;
        }
        for (std::int32_t j = j0; j < j0 + rows; ++j) {
            PrefetchDestination(job, i0, n, j + kPrefetchRows);
            work.kernel(job, colC, colS, i0, n, j);
        }
    }
}

// The baseline kernel: one pixel at a time through the exact scalar helpers.
template <bool kBilinear>
void ScalarRow(const RowJob& job, const double* colC, const double* colS, std::int32_t i0,
               std::int32_t n, std::int32_t j) {
    ScalarTail(job, colC, colS, i0, 0, n, j, kBilinear);
}

RowKernel ScalarKernel(bool bilinear) {
    return bilinear ? ScalarRow<true> : ScalarRow<false>;
}

template <typename T>
T Clamp(T value, T low, T high) {
    return value < low ? low : value > high ? high : value;
}

}  // namespace

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
        Clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxThreads);
    const std::int64_t pixels = static_cast<std::int64_t>(block.width) * block.height;
    return {best, pixels < kThreadedPixels ? 1 : cores, kDefaultTile, kDefaultTile};
}

void RotateWith(const RotateBlock& block, float centreX, float centreY, std::int32_t angleDegrees,
                const Options& options) {
    if (block.mode < 0 || block.mode > 3 || block.width < 1 || block.height < 1 ||
        block.pixelBase == nullptr) {
        return;
    }
    const bool bilinear = (block.mode & 1) != 0;
    const std::int64_t pixels = static_cast<std::int64_t>(block.width) * block.height;
    const std::int64_t imageBytes = pixels * 4;

    float S = 0.0f;
    float C = 0.0f;
    SinCos(angleDegrees, S, C);
    TileWork work;
    work.job.src = block.pixelBase + (block.mode < 2 ? 2 * imageBytes : 0);
    work.job.dst = block.pixelBase + imageBytes;
    work.job.width = block.width;
    work.job.height = block.height;
    work.job.cx = centreX;
    work.job.cyB = static_cast<float>(static_cast<double>(block.height) - centreY);
    work.job.S = S;
    work.job.C = C;
    const std::uint32_t back = block.backColour;
    work.job.background = ((back >> 16) & 0xFFu) | (back & 0xFF00u) | ((back & 0xFFu) << 16);
    // kPrefetchRows rows down the destination is about (-S, C) * kPrefetchRows in the source.
    const std::int64_t ahead =
        std::lround(C * kPrefetchRows) * std::int64_t{block.width} - std::lround(S * kPrefetchRows);
    work.job.prefetchOffset =
        static_cast<std::int32_t>(Clamp<std::int64_t>(ahead, INT32_MIN, INT32_MAX));
    work.job.lastPixel = static_cast<std::int32_t>(pixels > INT32_MAX ? INT32_MAX : pixels - 1);

    Isa isa = options.isa;
    // The vector kernels index the source with 32-bit pixel offsets.
    if (pixels > INT32_MAX || !IsaAvailable(isa)) isa = Isa::Baseline;
    work.kernel = isa == Isa::Avx512 ? Avx512Kernel(bilinear)
                  : isa == Isa::Avx2 ? Avx2Kernel(bilinear)
                                     : ScalarKernel(bilinear);
    work.tileWidth = Clamp(options.tileWidth, 1, kMaxTileWidth);
    work.tileHeight = Clamp(options.tileHeight, 1, INT32_MAX);
    work.tilesAcross = (block.width - 1) / work.tileWidth + 1;
    const std::int64_t tilesDown = (block.height - 1) / work.tileHeight + 1;
    work.tileCount = tilesDown * work.tilesAcross;

    const std::int64_t threads = Clamp(options.threads, 1, kMaxThreads);
    WorkerPool::Shared().Run(RunTiles, &work,
                             static_cast<int>(threads < work.tileCount ? threads : work.tileCount));
}

}  // namespace rotate_detail

void Rotate(const RotateBlock& block, float centreX, float centreY, std::int32_t angleDegrees) {
    rotate_detail::RotateWith(block, centreX, centreY, angleDegrees,
                              rotate_detail::DefaultOptions(block));
}

}  // namespace Veltrane_B1
