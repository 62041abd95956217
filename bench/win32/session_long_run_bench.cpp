// A session left running at the 1 ms interval: its GDI object count and memory after set-up, at
// tick 100 and at the last tick, to show that a long run keeps both flat, and the peak memory of
// the set-up; then 100 display changes, told to the window as the system tells them
// (WM_DISPLAYCHANGE), between the real monitors and a second arrangement of them (each at half
// its size, the last one gone when there are several), with both figures before the first
// change, after the second (the real monitors again) and after the last. Runs the real session
// window on whatever monitors the X server has, for example three 3840x2160 ones:
//   scripts/with-monitors.sh 3840x2160+0+0 3840x2160+3840+0 3840x2160+7680+0 --
//   scripts/wine-run.sh build/mingw/bench/session_long_run_bench.exe [TICKS]
// TICKS defaults to 10000.
//
// Memory is what GetProcessMemoryInfo reports: under Wine, WorkingSetSize and PeakWorkingSetSize
// are the process's resident and peak resident memory and PagefileUsage its resident private
// (anonymous) memory. Wine's GetGuiResources answers 0, so GDI objects are then counted in the
// process's GDI handle table instead.
#include <windows.h>
// After windows.h, which they need.
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "platform/win32/win32_host.h"
#include "session/session_window.h"
#include "startup/process_values.h"

namespace {

struct Snapshot {
    long gdiObjects = 0;
    double workingSet = 0, peakWorkingSet = 0, privateBytes = 0;  // MiB
};

long GdiObjects() {
    const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted != 0) return static_cast<long>(counted);
    // The PEB's GdiSharedHandleTable (offset 0xF8 on x64): 65536 entries of 24 bytes, the
    // object type at byte 14, 0 for a free entry.
    PROCESS_BASIC_INFORMATION process{};
    ULONG length = 0;
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &process,
                                  sizeof process, &length) != 0)
        return -1;
    const auto* peb = reinterpret_cast<const unsigned char*>(process.PebBaseAddress);
    const auto* table = *reinterpret_cast<const unsigned char* const*>(peb + 0xF8);
    if (!table) return -1;
    long used = 0;
    for (int i = 0; i < 0x10000; ++i) used += table[i * 24 + 14] != 0;
    return used;
}

Snapshot Take() {
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof memory);
    constexpr double kMiB = 1024.0 * 1024.0;
    // Windows reports private memory as PrivateUsage; Wine leaves it 0 and reports PagefileUsage.
    const SIZE_T privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
    return {GdiObjects(), memory.WorkingSetSize / kMiB, memory.PeakWorkingSetSize / kMiB,
            privateBytes / kMiB};
}

// The real host, but for the monitors while `halved`: each at half its size, keeping its top-left
// corner, and the last one gone when there are several.
class ChangingHost : public platform::win32::Win32Host {
  public:
    using Win32Host::Win32Host;
    bool halved = false;

    void DisplayMonitors(std::vector<platform::Rect>& monitors) override {
        Win32Host::DisplayMonitors(monitors);
        if (!halved) return;
        if (monitors.empty()) monitors.push_back(Win32Host::VirtualScreen());
        if (monitors.size() > 1) monitors.pop_back();
        for (platform::Rect& m : monitors) {
            m.right = m.left + std::max(1, (m.right - m.left) / 2);
            m.bottom = m.top + std::max(1, (m.bottom - m.top) / 2);
        }
    }
    platform::Rect VirtualScreen() override {
        if (!halved) return Win32Host::VirtualScreen();
        std::vector<platform::Rect> monitors;
        DisplayMonitors(monitors);
        platform::Rect all = monitors.front();
        for (const platform::Rect& m : monitors) {
            all = {std::min(all.left, m.left), std::min(all.top, m.top),
                   std::max(all.right, m.right), std::max(all.bottom, m.bottom)};
        }
        return all;
    }
};

void Print(const char* when, const Snapshot& s) {
    std::printf(
        "%-16s GDI objects %5ld  working set %8.1f MiB  peak %8.1f MiB  private %8.1f MiB\n", when,
        s.gdiObjects, s.workingSet, s.peakWorkingSet, s.privateBytes);
}

}  // namespace

int main(int argc, char** argv) {
    const int ticks = argc > 1 ? std::max(100, std::atoi(argv[1])) : 10000;
    ChangingHost host(GetModuleHandleW(nullptr));
    Veltrane_B::DisplayInterval = 1;
    const Snapshot before = Take();
    Veltrane_B::Veltrane_S session(host);
    session.Form_Load();
    const Snapshot loaded = Take();

    double images = 0;
    for (const auto& monitor : session.Monitors()) {
        std::printf("monitor %d,%d %dx%d\n", monitor.monitor.left, monitor.monitor.top,
                    monitor.width, monitor.height);
        images += 4.0 * monitor.width * monitor.height / (1024.0 * 1024.0);
    }
    std::printf("one full image per monitor together: %.1f MiB\n", images);

    Snapshot at100, atEnd;
    int count = 0;
    const std::function<void()> tick = session.Timer1().onTick;
    session.Timer1().onTick = [&] {
        tick();
        if (++count == 100) at100 = Take();
        if (count == ticks) {
            atEnd = Take();
            session.Timer1().SetEnabled(false);
            PostQuitMessage(0);
        }
    };
    const auto start = std::chrono::steady_clock::now();
    host.RunMessageLoop();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    Print("before session", before);
    Print("after set-up", loaded);
    Print("tick 100", at100);
    char last[32];
    std::snprintf(last, sizeof last, "tick %d", ticks);
    Print(last, atEnd);
    std::printf("%d ticks in %.1f s (%.2f ms each)\n", ticks, seconds, 1000.0 * seconds / ticks);
    std::printf("from tick 100 to the end: GDI objects %+ld, private memory %+.1f MiB\n",
                atEnd.gdiObjects - at100.gdiObjects, atEnd.privateBytes - at100.privateBytes);

    // 100 display changes, each told and then given the messages it leaves (repaints, ticks).
    const HWND window = reinterpret_cast<HWND>(session.Window().hWnd());
    const Snapshot beforeChanges = Take();
    Snapshot afterSecond;
    const auto changesStart = std::chrono::steady_clock::now();
    for (int change = 1; change <= 100; ++change) {
        host.halved = !host.halved;
        SendMessageW(window, WM_DISPLAYCHANGE, 32, 0);
        host.DoEvents();
        if (change == 2) afterSecond = Take();  // the real monitors again, the captures kept
    }
    const double changeSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - changesStart).count();
    const Snapshot afterChanges = Take();
    for (const auto& monitor : session.Monitors())
        std::printf("after the changes: monitor %d,%d %dx%d\n", monitor.monitor.left,
                    monitor.monitor.top, monitor.width, monitor.height);
    Print("before changes", beforeChanges);
    Print("after change 2", afterSecond);
    Print("after change 100", afterChanges);
    std::printf(
        "100 display changes in %.1f s; from change 2 to 100: GDI objects %+ld, private "
        "memory %+.1f MiB\n",
        changeSeconds, afterChanges.gdiObjects - afterSecond.gdiObjects,
        afterChanges.privateBytes - afterSecond.privateBytes);
    std::fflush(stdout);
    ExitProcess(0);
}
