// Shared by the Win32 tests: starting Veltrane.scr, pumping messages, reading pixels shown.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/win32_gdi.h"

namespace veltrane_test {

// The window of a toolkit control, window or button.
template <typename Control>
HWND Hwnd(const Control& control) {
    return reinterpret_cast<HWND>(control.hWnd());
}

// Pumps this thread's messages until `done` holds or the time is up; whether it held.
template <typename Done>
bool PumpUntil(DWORD milliseconds, Done done) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

inline void Pump(DWORD milliseconds) {
    PumpUntil(milliseconds, [] { return false; });
}

// A window standing in for the system's settings page, and the preview command line naming it.
inline HWND CreateHost(int width, int height) {
    return CreateWindowExW(0, L"STATIC", L"Preview host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                           40, 40, width, height, nullptr, nullptr, nullptr, nullptr);
}
inline std::string PreviewLine(HWND host, const char* form = "/p ") {
    return form + std::to_string(reinterpret_cast<std::uintptr_t>(host));
}

// A started Veltrane.scr; killed at the end of the test if it is still running.
class SaverProcess {
  public:
    explicit SaverProcess(const std::string& arguments) {
        const char* scr = std::getenv("VELTRANE_SCR");  // CTest passes its path
        std::string line = "\"" + std::string(scr ? scr : "") + "\" " + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &info_);
    }
    ~SaverProcess() {
        TerminateProcess(info_.hProcess, 99);  // fails harmlessly once it has ended
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    // Waits, pumping messages, for the process to end: its exit code, or STILL_ACTIVE.
    DWORD ExitWithin(DWORD milliseconds) {
        PumpUntil(milliseconds,
                  [&] { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; });
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

  private:
    PROCESS_INFORMATION info_{};
};

// Pixels as 0x00RRGGBB, top row first.
struct Pixels {
    int width = 0, height = 0;
    std::vector<std::uint32_t> data;
    std::uint32_t At(int x, int y) const { return data[static_cast<std::size_t>(y) * width + x]; }
};

// The pixels of a bitmap that no device context holds.
inline Pixels BitmapPixels(HBITMAP bitmap, int width, int height) {
    Pixels result{width, height, std::vector<std::uint32_t>(std::size_t(width) * height)};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const platform::win32::MemoryDc dc = platform::win32::CompatibleDc(nullptr);
    GetDIBits(dc.get(), bitmap, 0, height, result.data.data(), &info, DIB_RGB_COLORS);
    for (std::uint32_t& pixel : result.data) pixel &= 0x00FFFFFF;
    return result;
}

// What a window (nullptr: the screen) shows in the rectangle at (x, y) of its client area.
inline Pixels WindowPixels(HWND window, int x, int y, int width, int height) {
    using namespace platform::win32;
    const WindowDc source(window);
    const GdiObject<HBITMAP> copy(CreateCompatibleBitmap(source.get(), width, height));
    {
        const MemoryDc memory = CompatibleDc(source.get());
        const Selected into(memory.get(), copy.get());
        BitBlt(memory.get(), 0, 0, width, height, source.get(), x, y, SRCCOPY);
    }
    return BitmapPixels(copy.get(), width, height);
}

// A bitmap resource of this program (built with Veltrane.scr's resources) at its own size.
inline Pixels ResourcePixels(int id) {
    const platform::win32::GdiObject<HBITMAP> bitmap(static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP record{};
    GetObjectW(bitmap.get(), sizeof record, &record);
    return BitmapPixels(bitmap.get(), record.bmWidth, record.bmHeight);
}

}  // namespace veltrane_test
