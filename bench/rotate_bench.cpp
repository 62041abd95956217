// Speed of the rotation routine (mode 2, nearest pixel) on screen-sized images, as multiples of
// one memcpy of the image measured in the same run, beside two peers given the same turn about
// the same centre: pixman's nearest affine transform (what X servers and cairo use; one thread)
// and OpenCV's warpAffine (INTER_NEAREST, the routine's thread count). After the runs one
// Markdown table per size prints.
//
// The routine's own choices are measured here too:
//   --paths    every kernel at every whole angle 0..90 (the choice by angle, rotate.cpp)
//   --tiles    tile shapes for each kernel's angles
//   --threads  one thread up to the cores
//   --sweep    every whole angle 0..359: the worst one for each instruction set
// Benchmark flags (--benchmark_filter and the like) still apply; repetitions run interleaved.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "effects/rotate.h"
#include "effects/rotate_kernels.h"

namespace {

namespace rd = Veltrane_B1::rotate_detail;
using rd::Isa;
using rd::Path;

struct Size {
    int w, h;
};
constexpr Size kSizes[] = {{1920, 1080}, {3840, 2160}};
constexpr Size kBig = kSizes[1];
// Each kernel's angles, those at the edges of its range, and the slowest of a sweep.
constexpr int kAngles[] = {0, 1, 5, 12, 13, 19, 20, 30, 45, 60, 78, 79, 89, 90, 135, 180, 270, 359};

const char* Name(Isa isa) {
    return isa == Isa::Avx512 ? "avx512" : isa == Isa::Avx2 ? "avx2" : "scalar";
}
const char* Name(Path path) {
    constexpr const char* names[] = {"auto", "gather", "rows", "columns", "exact"};
    return names[static_cast<int>(path)];
}

// One pixel stack per size, filled with noise once.
std::uint8_t* StackFor(Size s) {
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
    return bytes.data();
}

Veltrane_B1::RotateBlock BlockFor(Size s) {
    return {s.w, s.h, StackFor(s), nullptr, 1, 0x00FFFFFF, 2};
}

// The session's call: centre (w / 2, h / 2), the angle passed plus 360.
rd::Plan PlanOf(Size s, int angle, const rd::Options& options) {
    return rd::PlanFor(BlockFor(s), s.w / 2, s.h / 2, angle + 360, options);
}

std::string Key(const std::string& what, Size s, int angle = -1) {
    std::string key = what + "/" + std::to_string(s.w) + "x" + std::to_string(s.h);
    if (angle >= 0) key += "/angle" + std::to_string(angle);
    return key;
}

// Milliseconds per call by benchmark name: the fastest repetition, as the machine may be shared
// and interference only adds.
std::map<std::string, double> g_ms;

class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const double ms = run.real_accumulated_time * 1e3 / double(run.iterations);
            const auto [it, fresh] = g_ms.emplace(run.run_name.function_name, ms);
            if (!fresh && ms < it->second) it->second = ms;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

constexpr int kRepetitions = 9;

template <typename F>
void Add(const std::string& name, F body) {
    benchmark::RegisterBenchmark(name.c_str(),
                                 [body](benchmark::State& state) {
                                     for (auto _ : state) body();
                                 })
        ->MinTime(0.02)
        ->Repetitions(kRepetitions)
        ->ReportAggregatesOnly(false)
        ->UseRealTime();
}

void AddMemcpy(Size s) {
    Add(Key("memcpy", s), [s] {
        std::uint8_t* bytes = StackFor(s);
        const std::size_t n = std::size_t(s.w) * s.h * 4;
        std::memcpy(bytes + n, bytes, n);
        benchmark::ClobberMemory();
    });
}

void AddOurs(const std::string& name, Size s, int angle, rd::Options options) {
    Add(name, [=] { rd::RotateWith(BlockFor(s), s.w / 2, s.h / 2, angle + 360, options); });
}

// The same turn as the routine's, destination to source, in a frame whose rows run top down
// (so the sense of the turn is the other way, which costs the same).
cv::Matx23d TurnBack(Size s, int angle) {
    float S = 0, C = 0;
    rd::SinCos(angle + 360, S, C);
    const double cx = s.w / 2, cy = s.h / 2;
    return {C, -S, cx - C * cx + S * cy, S, C, cy - S * cx - C * cy};
}

void AddPeers(Size s, int angle) {
    Add(Key("opencv", s, angle), [=] {
        std::uint8_t* bytes = StackFor(s);
        cv::Mat src(s.h, s.w, CV_8UC4, bytes);
        cv::Mat dst(s.h, s.w, CV_8UC4, bytes + std::size_t(s.w) * s.h * 4);
        cv::warpAffine(src, dst, TurnBack(s, angle), dst.size(),
                       cv::INTER_NEAREST | cv::WARP_INVERSE_MAP, cv::BORDER_CONSTANT,
                       cv::Scalar(255, 255, 255, 255));
    });
    Add(Key("pixman", s, angle), [=] {
        std::uint8_t* bytes = StackFor(s);
        auto* src = reinterpret_cast<std::uint32_t*>(bytes);
        pixman_image_t* from = pixman_image_create_bits(PIXMAN_x8r8g8b8, s.w, s.h, src, s.w * 4);
        pixman_image_t* to = pixman_image_create_bits(PIXMAN_x8r8g8b8, s.w, s.h,
                                                      src + std::size_t(s.w) * s.h, s.w * 4);
        const cv::Matx23d m = TurnBack(s, angle);
        pixman_transform_t t;
        pixman_transform_init_identity(&t);
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c) t.matrix[r][c] = pixman_double_to_fixed(m(r, c));
        pixman_image_set_transform(from, &t);
        pixman_image_set_filter(from, PIXMAN_FILTER_NEAREST, nullptr, 0);
        pixman_image_composite32(PIXMAN_OP_SRC, from, nullptr, to, 0, 0, 0, 0, 0, 0, s.w, s.h);
        pixman_image_unref(from);
        pixman_image_unref(to);
    });
}

std::vector<Isa> VectorIsas() {
    std::vector<Isa> isas;
    for (const Isa isa : {Isa::Avx512, Isa::Avx2})
        if (rd::IsaAvailable(isa)) isas.push_back(isa);
    return isas;
}

rd::Options DefaultFor(Size s, Isa isa) {
    rd::Options options = rd::DefaultOptions(BlockFor(s));
    options.isa = isa;
    return options;
}

struct Shape {
    int w, h;
};
// Up to rd::kMaxTileSide each way.
constexpr Shape kShapes[] = {{64, 64},   {128, 128}, {256, 256}, {512, 16}, {512, 64},
                             {512, 128}, {256, 32},  {256, 64},  {32, 256}, {64, 512}};

std::string ShapeName(Shape t) {
    return std::to_string(t.w) + "x" + std::to_string(t.h);
}

double Ms(const std::string& key) {
    const auto it = g_ms.find(key);
    return it == g_ms.end() ? 0.0 : it->second;
}

// A multiple of memcpy with two decimals, or a dash where nothing was measured.
std::string Times(double ms, double floor) {
    if (ms <= 0 || floor <= 0) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", ms / floor);
    return text;
}

std::string PlanText(Size s, int angle, Isa isa) {
    const rd::Plan plan = PlanOf(s, angle, DefaultFor(s, isa));
    return std::string(Name(plan.path)) + " " + std::to_string(plan.tileWidth) + "x" +
           std::to_string(plan.tileHeight);
}

void PrintTable(Size s) {
    const double floor = Ms(Key("memcpy", s));
    if (floor <= 0) return;
    const std::vector<Isa> isas = VectorIsas();
    const int threads = DefaultFor(s, Isa::Avx512).threads;
    std::printf(
        "\n%dx%d, mode 2: multiples of one memcpy of the image (%.2f ms), fastest of %d; "
        "ours and OpenCV on %d threads, pixman on one\n\n",
        s.w, s.h, floor, kRepetitions, threads);
    std::printf("| angle |");
    for (const Isa isa : isas) std::printf(" ours %s | kernel, tile |", Name(isa));
    std::printf(" pixman | OpenCV |\n|---:|");
    for (std::size_t i = 0; i < isas.size(); ++i) std::printf("---:|:---|");
    std::printf("---:|---:|\n");
    double worst[2] = {0, 0};
    for (const int angle : kAngles) {
        std::printf("| %d |", angle);
        for (std::size_t i = 0; i < isas.size(); ++i) {
            const double ms = Ms(Key(std::string("ours/") + Name(isas[i]), s, angle));
            worst[i] = std::max(worst[i], ms);
            std::printf(" %s | %s |", Times(ms, floor).c_str(),
                        PlanText(s, angle, isas[i]).c_str());
        }
        std::printf(" %s | %s |\n", Times(Ms(Key("pixman", s, angle)), floor).c_str(),
                    Times(Ms(Key("opencv", s, angle)), floor).c_str());
    }
    std::printf("| worst |");
    for (std::size_t i = 0; i < isas.size(); ++i)
        std::printf(" %s | |", Times(worst[i], floor).c_str());
    std::printf(" | |\n");
}

void PrintPaths(Size s) {
    const double floor = Ms(Key("memcpy", s));
    for (const Isa isa : VectorIsas()) {
        std::printf("\n%dx%d %s, each kernel forced (x memcpy); auto is the routine's choice\n\n",
                    s.w, s.h, Name(isa));
        std::printf("| angle | gather | rows | columns | auto |\n|---:|---:|---:|---:|:---|\n");
        for (int angle = 0; angle <= 90; ++angle) {
            std::printf("| %d |", angle);
            for (const Path path : {Path::Gather, Path::Rows, Path::Columns}) {
                const std::string what = std::string("path/") + Name(isa) + "/" + Name(path);
                std::printf(" %s |", Times(Ms(Key(what, s, angle)), floor).c_str());
            }
            std::printf(" %s |\n", PlanText(s, angle, isa).c_str());
        }
    }
}

// Angles for the tile shapes: each kernel's.
constexpr int kTileAngles[] = {0, 2, 30, 45, 88, 90};

void PrintTiles(Size s) {
    const double floor = Ms(Key("memcpy", s));
    for (const Isa isa : VectorIsas()) {
        std::printf("\n%dx%d %s, tile shapes (x memcpy)\n\n| angle | kernel |", s.w, s.h,
                    Name(isa));
        for (const Shape t : kShapes) std::printf(" %s |", ShapeName(t).c_str());
        std::printf("\n|---:|:---|");
        for (std::size_t i = 0; i < std::size(kShapes); ++i) std::printf("---:|");
        std::printf("\n");
        for (const int angle : kTileAngles) {
            std::printf("| %d | %s |", angle, PlanText(s, angle, isa).c_str());
            for (const Shape t : kShapes) {
                const std::string what = std::string("tile/") + Name(isa) + "/" + ShapeName(t);
                std::printf(" %s |", Times(Ms(Key(what, s, angle)), floor).c_str());
            }
            std::printf("\n");
        }
    }
}

int Cores() {
    return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, rd::kMaxThreads);
}

void PrintThreads(Size s) {
    const double floor = Ms(Key("memcpy", s));
    for (const Isa isa : VectorIsas()) {
        std::printf("\n%dx%d %s, threads (x memcpy)\n\n| angle |", s.w, s.h, Name(isa));
        for (int n = 1; n <= Cores(); ++n) std::printf(" %d |", n);
        std::printf("\n|---:|");
        for (int n = 1; n <= Cores(); ++n) std::printf("---:|");
        std::printf("\n");
        for (const int angle : kTileAngles) {
            std::printf("| %d |", angle);
            for (int n = 1; n <= Cores(); ++n) {
                const std::string what =
                    std::string("threads/") + Name(isa) + "/" + std::to_string(n);
                std::printf(" %s |", Times(Ms(Key(what, s, angle)), floor).c_str());
            }
            std::printf("\n");
        }
    }
}

void PrintSweep(Size s) {
    const double floor = Ms(Key("memcpy", s));
    std::printf("\n%dx%d, every whole angle (x memcpy, %.2f ms)\n\n", s.w, s.h, floor);
    for (const Isa isa : VectorIsas()) {
        int worst = 0;
        double sum = 0;
        for (int angle = 0; angle < 360; ++angle) {
            const std::string key = Key(std::string("sweep/") + Name(isa), s, angle);
            sum += Ms(key);
            if (Ms(key) > Ms(Key(std::string("sweep/") + Name(isa), s, worst))) worst = angle;
        }
        std::printf("%s: worst angle %d at %s (%s), mean %s\n", Name(isa), worst,
                    Times(Ms(Key(std::string("sweep/") + Name(isa), s, worst)), floor).c_str(),
                    PlanText(s, worst, isa).c_str(), Times(sum / 360, floor).c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    bool paths = false, tiles = false, threads = false, sweep = false;
    // Repetitions of all benchmarks in random order: a spell of load from elsewhere then slows
    // a few repetitions of many, not all of one, and the fastest repetitions stay comparable.
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> args{argv[0], interleave};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        bool* flag = arg == "--paths"     ? &paths
                     : arg == "--tiles"   ? &tiles
                     : arg == "--threads" ? &threads
                     : arg == "--sweep"   ? &sweep
                                          : nullptr;
        if (flag != nullptr)
            *flag = true;
        else
            args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    const bool table = !paths && !tiles && !threads && !sweep;
    cv::setNumThreads(DefaultFor(kBig, Isa::Avx512).threads);
    for (const Size s : kSizes) {
        if (!table && (s.w != kBig.w)) continue;
        AddMemcpy(s);
        for (const Isa isa : VectorIsas()) {
            const std::string name = Name(isa);
            if (table) {
                for (const int angle : kAngles)
                    AddOurs(Key("ours/" + name, s, angle), s, angle, DefaultFor(s, isa));
            }
            for (int angle = 0; paths && angle <= 90; ++angle) {
                for (const Path path : {Path::Gather, Path::Rows, Path::Columns}) {
                    rd::Options options = DefaultFor(s, isa);
                    options.path = path;
                    AddOurs(Key("path/" + name + "/" + Name(path), s, angle), s, angle, options);
                }
            }
            for (const int angle : kTileAngles) {
                for (const Shape t : kShapes) {
                    if (!tiles) break;
                    rd::Options options = DefaultFor(s, isa);
                    options.tileWidth = t.w, options.tileHeight = t.h;
                    AddOurs(Key("tile/" + name + "/" + ShapeName(t), s, angle), s, angle, options);
                }
                for (int n = 1; threads && n <= Cores(); ++n) {
                    rd::Options options = DefaultFor(s, isa);
                    options.threads = n;
                    AddOurs(Key("threads/" + name + "/" + std::to_string(n), s, angle), s, angle,
                            options);
                }
            }
            for (int angle = 0; sweep && angle < 360; ++angle)
                AddOurs(Key("sweep/" + name, s, angle), s, angle, DefaultFor(s, isa));
        }
        if (table) {
            for (const int angle : kAngles) AddPeers(s, angle);
        }
    }
    benchmark::Initialize(&count, args.data());
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const Size s : kSizes) {
        if (table) PrintTable(s);
        if (s.w != kBig.w) continue;
        if (paths) PrintPaths(s);
        if (tiles) PrintTiles(s);
        if (threads) PrintThreads(s);
        if (sweep) PrintSweep(s);
    }
    benchmark::Shutdown();
    return 0;
}
