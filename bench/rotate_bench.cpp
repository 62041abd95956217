// Speed of the rotation routine on screen-sized images, with the baselines measured in the same
// run: memcpy of one image (the floor), the scalar reference, and OpenCV's warpAffine with the
// same number of threads. After the runs a table prints the ratios.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <random>
#include <string>
#include <vector>

#include "effects/rotate.h"
#include "effects/rotate_kernels.h"
#include "unit/rotate_reference.h"

namespace {

namespace rd = Veltrane_B1::rotate_detail;

struct Size {
    int w, h;
};
constexpr Size kSizes[] = {{1024, 768}, {1920, 1080}, {3840, 2160}};
constexpr int kModes[] = {2, 3};
constexpr int kAngles[] = {0, 30, 45, 90, 137, 359};

// One pixel stack per size, filled with noise once.
std::vector<std::uint8_t>& StackFor(Size s) {
    static std::map<int, std::vector<std::uint8_t>> stacks;
    auto& bytes = stacks[s.w];
    if (bytes.empty()) {
        bytes.resize(std::size_t(s.w) * s.h * 12);
        std::mt19937 rng(5);
        for (std::size_t i = 0; i < bytes.size(); i += 4) {
            const std::uint32_t v = rng();
            std::memcpy(&bytes[i], &v, 4);
        }
    }
    return bytes;
}

Veltrane_B1::RotateBlock BlockFor(Size s, int mode) {
    return {s.w, s.h, StackFor(s).data(), nullptr, 1, 0x00FFFFFF, mode};
}

std::string Key(const char* what, Size s, int mode = -1, int angle = -1) {
    std::string key = std::string(what) + "/" + std::to_string(s.w) + "x" + std::to_string(s.h);
    if (mode >= 0) key += "/mode" + std::to_string(mode) + "/angle" + std::to_string(angle);
    return key;
}

// Milliseconds per iteration, by benchmark name.
std::map<std::string, double> g_ms;

class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            // The fastest repetition: the machine may be shared, and interference only adds.
            const double ms = run.real_accumulated_time * 1e3 / double(run.iterations);
            const auto [it, fresh] = g_ms.emplace(run.run_name.function_name, ms);
            if (!fresh && ms < it->second) it->second = ms;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

int g_threads = 1;
int g_repetitions = 3;

void Register() {
    for (const Size s : kSizes) {
        benchmark::RegisterBenchmark(Key("memcpy", s).c_str(),
                                     [s](benchmark::State& state) {
                                         auto& bytes = StackFor(s);
                                         const std::size_t n = std::size_t(s.w) * s.h * 4;
                                         for (auto _ : state) {
                                             std::memcpy(bytes.data() + n, bytes.data(), n);
                                             benchmark::ClobberMemory();
                                         }
                                     })
            ->MinTime(0.1)
            ->Repetitions(g_repetitions)
            ->UseRealTime();
        for (const int mode : kModes) {
            for (const int angle : kAngles) {
                struct Path {
                    const char* name;
                    rd::Isa isa;
                };
                for (const Path p :
                     {Path{"rotate", rd::Isa::Avx512}, Path{"avx2", rd::Isa::Avx2}}) {
                    if (!rd::IsaAvailable(p.isa)) continue;
                    benchmark::RegisterBenchmark(
                        Key(p.name, s, mode, angle).c_str(),
                        [=](benchmark::State& state) {
                            const auto block = BlockFor(s, mode);
                            rd::Options options = rd::DefaultOptions(block);
                            options.isa = p.isa;
                            for (auto _ : state)
                                rd::RotateWith(block, s.w / 2, s.h / 2, angle + 360, options);
                        })
                        ->MinTime(0.1)
                        ->Repetitions(g_repetitions)
                        ->UseRealTime();
                }
                benchmark::RegisterBenchmark(Key("reference", s, mode, angle).c_str(),
                                             [=](benchmark::State& state) {
                                                 const auto block = BlockFor(s, mode);
                                                 for (auto _ : state)
                                                     rotate_reference::Rotate(block, s.w / 2,
                                                                              s.h / 2, angle + 360);
                                             })
                    ->MinTime(0.05)
                    ->Repetitions(1)
                    ->UseRealTime();
                benchmark::RegisterBenchmark(
                    Key("warpAffine", s, mode, angle).c_str(),
                    [=](benchmark::State& state) {
                        auto& bytes = StackFor(s);
                        cv::Mat src(s.h, s.w, CV_8UC4, bytes.data());
                        cv::Mat dst(s.h, s.w, CV_8UC4, bytes.data() + std::size_t(s.w) * s.h * 4);
                        // The same turn about the same centre, destination to source.
                        float S = 0, C = 0;
                        rd::SinCos(angle + 360, S, C);
                        const double cx = s.w / 2 - 1, cy = s.h - s.h / 2 - 1;
                        const cv::Matx23d m(C, -S, cx - C * cx + S * cy, S, C,
                                            cy - S * cx - C * cy);
                        const int interpolation = mode == 2 ? cv::INTER_NEAREST : cv::INTER_LINEAR;
                        for (auto _ : state)
                            cv::warpAffine(src, dst, m, dst.size(),
                                           interpolation | cv::WARP_INVERSE_MAP,
                                           cv::BORDER_CONSTANT, cv::Scalar(255, 255, 255, 255));
                    })
                    ->MinTime(0.1)
                    ->Repetitions(g_repetitions)
                    ->UseRealTime();
            }
        }
    }
}

void PrintTable() {
    std::printf(
        "\nthreads: %d (rotate and warpAffine); ms per call, fastest of %d repetitions (reference: "
        "one); ratios "
        "from "
        "this run\n",
        g_threads, g_repetitions);
    for (const Size s : kSizes) {
        const auto floor = g_ms.find(Key("memcpy", s));
        if (floor == g_ms.end()) continue;
        std::printf("\n%dx%d   memcpy %.2f ms\n", s.w, s.h, floor->second);
        std::printf(
            "mode angle | best ms  x memcpy  x angle0 | avx2 ms  x memcpy | reference ms  x faster "
            "| warpAffine ms  x faster\n");
        for (const int mode : kModes) {
            for (const int angle : kAngles) {
                auto get = [&](const char* what, int a) {
                    const auto it = g_ms.find(Key(what, s, mode, a));
                    return it == g_ms.end() ? 0.0 : it->second;
                };
                const double best = get("rotate", angle), avx2 = get("avx2", angle);
                const double ref = get("reference", angle), cv = get("warpAffine", angle);
                auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
                std::printf(
                    "  %d  %5d | %7.2f  %7.2f  %8.2f | %7.2f  %8.2f | %12.1f  %7.1f | %13.2f  "
                    "%7.2f\n",
                    mode, angle, best, ratio(best, floor->second), ratio(best, get("rotate", 0)),
                    avx2, ratio(avx2, floor->second), ref, ratio(ref, best), cv, ratio(cv, best));
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const Size big = kSizes[2];
    g_threads = rd::DefaultOptions(BlockFor(big, 2)).threads;
    cv::setNumThreads(g_threads);
    Register();
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintTable();
    benchmark::Shutdown();
    return 0;
}
