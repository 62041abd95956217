// The dialog's preview: a 200 x 200 picture turned into a 200 x 200 panel at every timer tick.
// A plain 200 x 200 copy is measured in the same run as the baseline; the baseline SSE2 kernel
// is measured on its own too (the default picks the widest the processor offers).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "dialog/picture_transform.h"
#include "dialog/picture_transform_kernels.h"

namespace {

constexpr int kSide = 200;

std::vector<std::uint8_t> Picture() {
    std::vector<std::uint8_t> pixels(kSide * kSide * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>(i * 7 + i / 800);
    return pixels;
}

void BM_Copy200(benchmark::State& state) {
    const auto source = Picture();
    std::vector<std::uint8_t> destination(source.size());
    for (auto _ : state) {
        std::memcpy(destination.data(), source.data(), source.size());
        benchmark::DoNotOptimize(destination.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Copy200);

// Arguments: angle, smooth, kernel (0: the default, 1: SSE2).
void BM_Transform200(benchmark::State& state) {
    namespace td = Veltrane_B2::transform_detail;
    const auto source = Picture();
    std::vector<std::uint8_t> destination(source.size());
    const double angle = static_cast<double>(state.range(0));
    const bool smooth = state.range(1) != 0;
    const bool sse2 = state.range(2) != 0;
    for (auto _ : state) {
        if (sse2) {
            td::TransformPixelsWith(td::Isa::Baseline, source.data(), kSide, kSide,
                                    destination.data(), kSide, kSide, angle, smooth);
        } else {
            Veltrane_B2::TransformPixels(source.data(), kSide, kSide, destination.data(), kSide,
                                         kSide, angle, smooth);
        }
        benchmark::DoNotOptimize(destination.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Transform200)
    ->ArgNames({"angle", "smooth", "sse2"})
    ->ArgsProduct({{0, 37, 90, 211}, {0, 1}, {0}})
    ->ArgsProduct({{0, 37}, {0, 1}, {1}});

}  // namespace

BENCHMARK_MAIN();
