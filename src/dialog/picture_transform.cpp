// The picture transform: the column tables, the choice of kernel, and the all-black cases. The
// per-pixel work is in the kernels (picture_transform_sse2.cpp, picture_transform_avx2.cpp).
#include "dialog/picture_transform.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "dialog/picture_transform_kernels.h"

namespace Veltrane_B2 {
namespace transform_detail {

void TransformPixelsWith(Isa isa, const std::uint8_t* source, int sourceWidth, int sourceHeight,
                         std::uint8_t* destination, int destinationWidth, int destinationHeight,
                         double angleDegrees, bool smooth) {
    if (destination == nullptr || destinationWidth <= 0 || destinationHeight <= 0) return;
    const std::size_t destinationBytes = static_cast<std::size_t>(destinationWidth) *
                                         static_cast<std::size_t>(destinationHeight) * 4;
    // A cell needs two columns and two rows: a source without one (or without pixels) gives black.
    if (source == nullptr || sourceWidth < 2 || sourceHeight < 2) {
        std::memset(destination, 0, destinationBytes);
        return;
    }

    const double hdw = destinationWidth * 0.5;
    const double t = (angleDegrees * kDegreesToRadians) * -1.0;
    const CosSin cs = ModelCosSin(t);

    // A cell starts at a whole column 0 .. width - 2, i.e. floor(u) lies there exactly when
    // 0 <= u < width - 1. Comparing the real coordinate avoids any integer overflow and lets
    // NaN fail the test.
    const std::size_t columns = (static_cast<std::size_t>(destinationWidth) + kColumnPadding - 1) /
                                kColumnPadding * kColumnPadding;
    std::vector<double> table(2 * columns);
    double* colC = table.data();
    double* colS = colC + columns;
    for (std::size_t x = 0; x < columns; ++x) {
        const double dx = static_cast<double>(x) - hdw;
        colC[x] = dx * cs.cos;
        colS[x] = dx * cs.sin;
    }
    const Job job{source,
                  sourceWidth,
                  sourceHeight,
                  destination,
                  destinationWidth,
                  destinationHeight,
                  sourceWidth * 0.5,
                  sourceHeight * 0.5,
                  destinationHeight * 0.5,
                  cs.cos,
                  cs.sin,
                  static_cast<double>(sourceWidth) - 1.0,
                  static_cast<double>(sourceHeight) - 1.0,
                  colC,
                  colS,
                  smooth};
    // The wide kernel indexes source pixels with 32-bit lanes.
    const bool smallSource =
        static_cast<std::int64_t>(sourceWidth) * sourceHeight < (std::int64_t{1} << 31);
    if (isa != Isa::Baseline && smallSource && IsaAvailable(Isa::Avx2)) {
        Avx2Rows(job);
    } else {
        Sse2Rows(job);
    }
}

}  // namespace transform_detail

void TransformPixels(const std::uint8_t* source, int sourceWidth, int sourceHeight,
                     std::uint8_t* destination, int destinationWidth, int destinationHeight,
                     double angleDegrees, bool smooth) {
    using platform::Isa;
    static const Isa best = platform::IsaAvailable(Isa::Avx2) ? Isa::Avx2 : Isa::Baseline;
    transform_detail::TransformPixelsWith(best, source, sourceWidth, sourceHeight, destination,
                                          destinationWidth, destinationHeight, angleDegrees,
                                          smooth);
}

}  // namespace Veltrane_B2
