// The Screen Saver page for one preview: SCR started in its folder with "/p HWND" of a host window,
// which goes after a second; exit code 0 when the preview showed in it and SCR then ended with 0.
//   preview_host SCR
#include <windows.h>

#include <string>

#include "startup/window_titles.h"
#include "win32/process_helpers.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string scr = argv[1];
    const std::string folder = scr.substr(0, scr.find_last_of("\\/") + 1);
    HWND host = veltrane_test::CreateHost(152, 112);
    std::string line = "\"" + scr + "\" " + veltrane_test::PreviewLine(host);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process))
        return 1;
    const bool shown = veltrane_test::PumpUntil(30000, [&] {
        const HWND preview = FindWindowExA(host, nullptr, nullptr, Veltrane_B::kPreviewTitle);
        return preview && IsWindowVisible(preview);
    });
    veltrane_test::Pump(1000);
    DestroyWindow(host);
    DWORD code = 1;
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    GetExitCodeProcess(process.hProcess, &code);
    return shown && code == 0 ? 0 : 1;
}
