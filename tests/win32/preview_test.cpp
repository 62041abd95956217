// The preview inside a host window: this test program is the host, as the system's screen-saver
// settings page would be.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/win32/win32_host.h"
#include "process_helpers.h"
#include "resource_ids.h"
#include "startup/preview_window.h"
#include "unit/process_values_guard.h"

namespace {

using veltrane_test::CreateHost;
using veltrane_test::PreviewLine;
using veltrane_test::Pump;
using veltrane_test::SaverProcess;

// Waits for the preview window inside the host to be shown (it is embedded before that).
HWND FindPreview(HWND host) {
    HWND child = nullptr;
    const bool shown = veltrane_test::PumpUntil(5000, [&] {
        child = FindWindowExA(host, nullptr, nullptr, "Preview Window");
        return child && IsWindowVisible(child);
    });
    return shown ? child : nullptr;
}

// The preview fills its host, ends on no input, and ends with its host window or its own window
// (the handle written after a blank or a colon).
TEST(Preview, EmbedsInTheHostWithItsSizeAndEndsWithItOrItsWindow) {
    for (const bool endHost : {true, false}) {
        const SIZE size = endHost ? SIZE{152, 112} : SIZE{200, 150};
        HWND host = CreateHost(size.cx, size.cy);
        SaverProcess saver(PreviewLine(host, endHost ? "/p " : "/p:"));
        HWND preview = FindPreview(host);
        ASSERT_NE(preview, nullptr) << size.cx;
        EXPECT_EQ(GetParent(preview), host);
        EXPECT_TRUE(GetWindowLongW(preview, GWL_STYLE) & WS_CHILD);
        RECT r{};
        GetWindowRect(preview, &r);
        MapWindowPoints(HWND_DESKTOP, host, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
                  std::vector<LONG>({0, 0, size.cx, size.cy}));

        SendMessageW(preview, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageW(preview, WM_KEYDOWN, 'A', 0);
        EXPECT_EQ(saver.ExitWithin(300), STILL_ACTIVE) << "input ended the preview";

        if (endHost) DestroyWindow(host);
        if (!endHost) PostMessageW(preview, WM_CLOSE, 0, 0);
        EXPECT_EQ(saver.ExitWithin(2000), 0u) << (endHost ? "outlived its host" : "not closed");
        DestroyWindow(host);
    }
}

// Wine draws a child window only in the process that owns its top-level window, so the pixels
// are checked with the preview window made in this process, inside a host window of its own.
TEST(Preview, ShowsThePictureAtItsOwnSizeAndWhiteBeyondIt) {
    const ProcessValuesGuard processValues;  // embedding stores the platform's results
    HMODULE module =
        LoadLibraryExA(veltrane_test::ScreenSaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const veltrane_test::Pixels picture = veltrane_test::ResourcePixels(module, IDB_PREVIEW);
    FreeLibrary(module);
    ASSERT_EQ(std::make_pair(picture.width, picture.height), std::make_pair(152, 112));
    platform::win32::Win32Host real(GetModuleHandleW(nullptr));

    for (const SIZE size : {SIZE{152, 112}, SIZE{200, 150}, SIZE{100, 80}}) {
        HWND host = CreateHost(size.cx, size.cy);
        {
            Veltrane_B::Veltrane_R preview(real);
            preview.Embed(reinterpret_cast<platform::Handle>(host), size.cx, size.cy);
            preview.Show();
            Pump(300);
            RECT place{};  // the screen shows the child window inside the host
            GetWindowRect(host, &place);
            const veltrane_test::Pixels shown =
                veltrane_test::WindowPixels(nullptr, place.left, place.top, size.cx, size.cy);
            int wrong = 0;
            for (int y = 0; y < size.cy; ++y) {
                for (int x = 0; x < size.cx; ++x) {
                    const bool inside = x < picture.width && y < picture.height;
                    wrong += shown.At(x, y) != (inside ? picture.At(x, y) : 0x00FFFFFF);
                }
            }
            EXPECT_EQ(wrong, 0) << size.cx << " x " << size.cy << std::hex << ": top-left shows "
                                << shown.At(0, 0) << ", the picture has " << picture.At(0, 0);
        }
        DestroyWindow(host);
    }
}

// The process ends at once, with exit code 0.
TEST(Preview, HandleThatNamesNoWindowEndsAtOnce) {
    HWND closed = CreateHost(10, 10);
    DestroyWindow(closed);
    for (const std::string& line :
         {std::string("/p 0"), std::string("/p 99999"), std::string("/p"), PreviewLine(closed)}) {
        EXPECT_EQ(SaverProcess(line).ExitWithin(2000), 0u) << line;
    }
}

}  // namespace
