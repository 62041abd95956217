// The dialog's preview: a 200 x 200 picture turned into a 200 x 200 panel at every timer tick.
// A plain 200 x 200 copy is measured in the same run as the baseline.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "dialog/picture_transform.h"

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

void BM_Transform200(benchmark::State& state) {
    const auto source = Picture();
    std::vector<std::uint8_t> destination(source.size());
    const bool smooth = state.range(1) != 0;
    const double angle = static_cast<double>(state.range(0));
    for (auto _ : state) {
        Veltrane_B2::TransformPixels(source.data(), kSide, kSide, destination.data(), kSide, kSide,
                                     angle, smooth);
        benchmark::DoNotOptimize(destination.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Transform200)->ArgNames({"angle", "smooth"})->ArgsProduct({{0, 37, 90, 211}, {0, 1}});

}  // namespace

BENCHMARK_MAIN();
