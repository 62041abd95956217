// The time of one session tick under Wine: the rotation of the captured screen plus its
// presentation (StretchDIBits into Display's image and the repaint), as a ratio to the default
// 100 ms interval. Run it on an X server of the size to measure, with an empty command line:
//   scripts/with-xvfb.sh --screen 1920x1080x24 scripts/wine-run.sh
//   build/mingw/bench/session_tick_bench.exe
// It prints the median and the fastest of its ticks and of the rotation alone.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "effects/rotate.h"
#include "platform/win32/win32_host.h"
#include "session/session_window.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename F>
std::vector<double> Time(int runs, F&& f) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        f(i);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms;
}

void Report(const char* what, const std::vector<double>& ms) {
    const double median = ms[ms.size() / 2];
    std::printf("%-34s median %7.2f ms  fastest %7.2f ms  ratio to 100 ms %.3f\n", what, median,
                ms.front(), median / 100.0);
}

}  // namespace

int main() {
    platform::win32::Win32Host host(GetModuleHandleW(nullptr));
    Veltrane_B::Veltrane_S session(host);
    session.Form_Load();
    session.Timer1().SetEnabled(false);  // only the ticks below
    const int width = session.ImageWidth(), height = session.ImageHeight();
    std::printf("screen %dx%d\n", width, height);
    constexpr int kRuns = 60;
    for (int i = 0; i < 5; ++i) session.Timer1_Timer();
    Report("tick (rotate + present + messages)", Time(kRuns, [&](int) { session.Timer1_Timer(); }));

    std::vector<std::uint8_t> stack(std::size_t(width) * height * 4 * 3, 0x80);
    const Veltrane_B1::RotateBlock block{width, height, stack.data(), nullptr, 1, 0xFFFFFF, 2};
    Report("rotate alone", Time(kRuns, [&](int i) {
               Veltrane_B1::Rotate(block, float(width / 2), float(height / 2), 360 + i * 7 % 360);
           }));
    return 0;
}
