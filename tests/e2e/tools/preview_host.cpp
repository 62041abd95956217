// Plays the system's screen-saver page for one preview: a host window, and SCR started from its
// own folder with "/p HWND", the way the page starts a saver; then the host goes, which ends the
// preview.
//   preview_host SCR   exit code 0 when the preview showed in the host and SCR then ended with 0
#include <windows.h>

#include <string>

#include "startup/window_titles.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    HWND host = CreateWindowExW(0, L"STATIC", L"Preview host", WS_POPUP | WS_VISIBLE, 40, 40, 152,
                                112, nullptr, nullptr, nullptr, nullptr);
    const std::string scr = argv[1];
    const std::string folder = scr.substr(0, scr.find_last_of("\\/") + 1);
    std::string line = "\"" + scr + "\" /p " + std::to_string(reinterpret_cast<UINT_PTR>(host));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process))
        return 1;
    // Up to 30 s for the preview to show, then one more second of it.
    int shownTicks = 0;
    for (int tick = 0; tick < 300 && shownTicks < 10; ++tick) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        const HWND preview = FindWindowExA(host, nullptr, nullptr, Veltrane_B::kPreviewTitle);
        if (preview && IsWindowVisible(preview)) ++shownTicks;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
    DestroyWindow(host);
    DWORD code = 1;
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    GetExitCodeProcess(process.hProcess, &code);
    return shownTicks > 0 && code == 0 ? 0 : 1;
}
