// Internal interface of the picture transform: the row kernels for each instruction set and the
// option the tests use to pick one. Every kernel performs the same double operations in the same
// order as the one-pixel-at-a-time description in picture_transform.h, so all give equal bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/cpu.h"

namespace Veltrane_B2::transform_detail {

// Everything a kernel needs. Only built for a source with at least one full cell.
struct Job {
    const std::uint8_t* source;
    int sourceWidth;
    int sourceHeight;
    std::uint8_t* destination;
    int destinationWidth;
    int destinationHeight;
    double hsw, hsh, hdh;   // middles of the source and the destination's row middle
    double c, s;            // cos and sin of the turning angle
    double uLimit, vLimit;  // a cell starts where 0 <= u < uLimit and 0 <= v < vLimit
    // colC[x] = dx * c and colS[x] = dx * s with dx = x - hdw, one multiplication each, for
    // x = 0 .. destinationWidth rounded up to a multiple of 4 (the extra columns are computed
    // like the real ones but never stored).
    const double* colC;
    const double* colS;
    bool smooth;
};

// Pixels per vector step of the widest kernel: the column tables are padded to it.
inline constexpr int kColumnPadding = 4;

using platform::Isa;
using platform::IsaAvailable;

// Writes every destination row.
void Sse2Rows(const Job& job);
void Avx2Rows(const Job& job);  // needs sourceWidth * sourceHeight < 2^31

// TransformPixels with a chosen kernel: Avx2 (also for Avx512, the widest kernel here) where the
// processor runs it, else the SSE2 kernel (Isa::Baseline).
void TransformPixelsWith(Isa isa, const std::uint8_t* source, int sourceWidth, int sourceHeight,
                         std::uint8_t* destination, int destinationWidth, int destinationHeight,
                         double angleDegrees, bool smooth);

}  // namespace Veltrane_B2::transform_detail
