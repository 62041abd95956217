// Shared by the Win32 tests: starting Veltrane.scr and watching it end, pumping messages, and
// reading what a device context or a bitmap shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/win32_gdi.h"

namespace veltrane_test {

// The Veltrane.scr under test (CTest passes its path).
inline std::string ScreenSaverPath() {
    const char* path = std::getenv("VELTRANE_SCR");
    return path ? path : "";
}

// Pumps this thread's messages for a while, so that windows of the test stay responsive.
inline void Pump(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount64() < end);
}

// A started Veltrane.scr; killed at the end of the test if it is still running.
class SaverProcess {
  public:
    explicit SaverProcess(const std::string& arguments) {
        std::string line = "\"" + ScreenSaverPath() + "\" " + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &info_) != 0;
    }
    ~SaverProcess() {
        if (!started_) return;
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(info_.hProcess, 99);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    DWORD Id() const { return info_.dwProcessId; }
    // Waits, pumping messages, until the process has ended; false when it still runs.
    bool EndsWithin(DWORD milliseconds) {
        const ULONGLONG end = GetTickCount64() + milliseconds;
        while (WaitForSingleObject(info_.hProcess, 0) != WAIT_OBJECT_0) {
            if (GetTickCount64() >= end) return false;
            Pump(20);
        }
        return true;
    }
    DWORD ExitCode() const {
        DWORD code = 0;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

  private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

// Whether a process owns any visible top-level window.
inline bool HasVisibleWindow(DWORD processId) {
    struct Search {
        DWORD id;
        bool found;
    } search{processId, false};
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner == s->id && IsWindowVisible(hwnd)) s->found = true;
            return !s->found;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Pixels as 0x00RRGGBB, top row first.
struct Pixels {
    int width = 0, height = 0;
    std::vector<std::uint32_t> data;
    std::uint32_t At(int x, int y) const { return data[static_cast<std::size_t>(y) * width + x]; }
};

// What a device context shows in the rectangle at (x, y).
inline Pixels ReadPixels(HDC source, int x, int y, int width, int height) {
    using namespace platform::win32;
    Pixels result{width, height, std::vector<std::uint32_t>(std::size_t(width) * height)};
    const MemoryDc memory = CompatibleDc(source);
    const GdiObject<HBITMAP> copy(CreateCompatibleBitmap(source, width, height));
    {
        const Selected into(memory.get(), copy.get());
        BitBlt(memory.get(), 0, 0, width, height, source, x, y, SRCCOPY);
    }
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    GetDIBits(memory.get(), copy.get(), 0, height, result.data.data(), &info, DIB_RGB_COLORS);
    for (std::uint32_t& pixel : result.data) pixel &= 0x00FFFFFF;
    return result;
}

// A bitmap's pixels at its own size; the bitmap is deleted.
inline Pixels TakeBitmapPixels(HBITMAP bitmap) {
    using namespace platform::win32;
    const GdiObject<HBITMAP> owned(bitmap);
    BITMAP record{};
    GetObjectW(bitmap, sizeof record, &record);
    const MemoryDc memory = CompatibleDc(nullptr);
    const Selected picture(memory.get(), bitmap);
    return ReadPixels(memory.get(), 0, 0, record.bmWidth, record.bmHeight);
}

}  // namespace veltrane_test
