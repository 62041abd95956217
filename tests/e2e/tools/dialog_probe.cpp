// Looks at the settings dialog from another process (exit code 2 when the window is not there):
//   info [FILE]  client size and origin, outer rectangle and frame styles (into FILE if given);
//   close  the close box's WM_SYSCOMMAND SC_CLOSE;  message  the open message box's text in UTF-8;
//   dismiss  its OK;  bar  the interval bar's value;  focus  "bar", "window" or the focused
//   control's client "X Y";  acp  the system's ANSI code page.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "startup/window_titles.h"

int main(int argc, char** argv) {
    const char* what = argc > 1 ? argv[1] : "info";
    const auto is = [what](const char* name) { return std::strcmp(what, name) == 0; };
    if (is("acp")) return std::printf("%u\n", GetACP()) < 0;
    if (is("message") || is("dismiss")) {
        HWND box = FindWindowA("#32770", Veltrane_B::kApplicationTitle);
        if (!box) return 2;
        if (is("dismiss")) return !PostMessageA(box, WM_COMMAND, IDOK, 0);
        // The box's static text through the wide API, written out as UTF-8 bytes.
        wchar_t text[2048] = {};
        GetWindowTextW(GetDlgItem(box, 0xFFFF), text, 2048);
        char utf8[8192] = {};
        WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
        return std::printf("%s\n", utf8) < 0;
    }
    HWND dialog = FindWindowA(nullptr, Veltrane_B::kDialogTitle);
    if (!dialog) return 2;
    if (is("close")) return !PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND bar = nullptr;
    const auto findScrollBar = [](HWND child, LPARAM found) -> BOOL {
        wchar_t name[16] = {};
        GetClassNameW(child, name, 16);
        if (lstrcmpiW(name, L"SCROLLBAR") != 0) return TRUE;
        *reinterpret_cast<HWND*>(found) = child;
        return FALSE;
    };
    EnumChildWindows(dialog, findScrollBar, reinterpret_cast<LPARAM>(&bar));
    if (is("bar")) return bar ? std::printf("%d\n", GetScrollPos(bar, SB_CTL)) < 0 : 2;
    if (is("focus")) {
        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread)) return 1;
        if (thread.hwndFocus == bar || thread.hwndFocus == dialog)
            return std::printf(bar == thread.hwndFocus ? "bar\n" : "window\n") < 0;
        POINT place{};
        MapWindowPoints(thread.hwndFocus, dialog, &place, 1);
        return std::printf("%ld %ld\n", place.x, place.y) < 0;
    }
    std::FILE* out = argc > 2 ? std::fopen(argv[2], "w") : stdout;
    if (!out) return 1;
    RECT client{}, outer{};
    GetClientRect(dialog, &client);
    GetWindowRect(dialog, &outer);
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    const LONG style = GetWindowLongA(dialog, GWL_STYLE);
    std::fprintf(out, "client %ld %ld\n", client.right, client.bottom);
    std::fprintf(out, "origin %ld %ld\n", origin.x, origin.y);
    std::fprintf(out, "window %ld %ld %ld %ld\n", outer.left, outer.top, outer.right, outer.bottom);
    std::fprintf(out, "caption %d sysmenu %d sizable %d minimize %d maximize %d\n",
                 (style & WS_CAPTION) == WS_CAPTION, (style & WS_SYSMENU) != 0,
                 (style & WS_THICKFRAME) != 0, (style & WS_MINIMIZEBOX) != 0,
                 (style & WS_MAXIMIZEBOX) != 0);
    if (out != stdout) std::fclose(out);
    return 0;
}
