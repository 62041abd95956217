// Waits until the session's window is visible, through the window system as the program's single-
// instance test looks (querying X's window tree meanwhile can spoil the session's desktop copy).
//   session_wait_window [SECONDS]   exit code 0 when it is, 1 after the time
#include <windows.h>

#include <cstdlib>

#include "startup/window_titles.h"

int main(int argc, char** argv) {
    const int tenths = (argc > 1 ? std::atoi(argv[1]) : 30) * 10;
    for (int i = 0; i < tenths; ++i) {
        HWND window = FindWindowA(nullptr, Veltrane_B::kSessionTitle);
        if (window && IsWindowVisible(window)) return 0;
        Sleep(100);
    }
    return 1;
}
