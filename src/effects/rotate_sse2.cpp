// Baseline kernels (SSE2, every x86-64 processor): one pixel at a time through the exact scalar
// helpers, on the hoisted per-column products.
#include "effects/rotate_kernels.h"

namespace Veltrane_B1::rotate_detail {
namespace {

template <bool kBilinear>
void RowSse2(const RowJob& job, const double* colC, const double* colS, std::int32_t i0,
             std::int32_t n, std::int32_t j) {
    ScalarTail(job, colC, colS, i0, 0, n, j, kBilinear);
}

}  // namespace

RowKernel Sse2Kernel(bool bilinear) {
    return bilinear ? RowSse2<true> : RowSse2<false>;
}

}  // namespace Veltrane_B1::rotate_detail
