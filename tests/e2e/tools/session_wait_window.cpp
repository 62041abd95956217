// Waits until the session window is on the screen: a visible top-level window titled
// "Veltrane_Main", looked up through the window system the way the program's single-instance
// test does (querying the X server's window tree meanwhile can spoil the session's desktop copy).
//   session_wait_window [SECONDS]   exit code 0 when the window is visible, 1 after the time
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    const int tenths = (argc > 1 ? std::atoi(argv[1]) : 30) * 10;
    for (int i = 0; i < tenths; ++i) {
        HWND window = FindWindowA(nullptr, "Veltrane_Main");
        if (window && IsWindowVisible(window)) return 0;
        Sleep(100);
    }
    return 1;
}
