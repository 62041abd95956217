// The preview inside a host window: this test program is the host, as the system's screen-saver
// settings page would be.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
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
// The picture fills the box, its aspect kept, centred, the spare edge white: at the sizes it is
// drawn at (100, 150, 200 %) pixel for pixel, at 125 % and in a box of another aspect smoothly
// resized from the nearest, so white where that picture is white all around and not where it is
// not.
TEST(Preview, FillsTheHostBoxWithThePictureAtItsAspect) {
    const ProcessValuesGuard processValues;  // embedding stores the platform's results
    HMODULE module =
        LoadLibraryExA(veltrane_test::ScreenSaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    std::vector<veltrane_test::Pixels> drawn;
    for (int k = 0; k < 3; ++k)
        drawn.push_back(veltrane_test::ResourcePixels(module, ScaledPictureId(IDB_PREVIEW, k)));
    FreeLibrary(module);
    ASSERT_EQ(std::make_pair(drawn[0].width, drawn[0].height), std::make_pair(152, 112));
    platform::win32::Win32Host real(GetModuleHandleW(nullptr));

    const struct {
        SIZE box;
        RECT picture;  // where it shows in the box
        int from;      // the picture drawn at the nearest scale
    } cases[] = {
        {{152, 112}, {0, 0, 152, 112}, 0}, {{190, 140}, {0, 0, 190, 140}, 1},
        {{228, 168}, {0, 0, 228, 168}, 1}, {{304, 224}, {0, 0, 304, 224}, 2},
        {{200, 150}, {0, 1, 200, 148}, 1},
    };
    for (const auto& c : cases) {
        const veltrane_test::Pixels& from = drawn[static_cast<std::size_t>(c.from)];
        const int width = c.picture.right - c.picture.left,
                  height = c.picture.bottom - c.picture.top;
        const bool exact = width == from.width && height == from.height;
        // Whether the picture drawn at `from` is white (or not) everywhere near where the box's
        // pixel samples it; neither where it changes.
        const auto allAround = [&](int x, int y, bool white) {
            const int sx = (2 * x + 1) * from.width / (2 * width);
            const int sy = (2 * y + 1) * from.height / (2 * height);
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx) {
                    const int px = std::clamp(sx + dx, 0, from.width - 1);
                    const int py = std::clamp(sy + dy, 0, from.height - 1);
                    if ((from.At(px, py) == 0x00FFFFFF) != white) return false;
                }
            return true;
        };
        HWND host = CreateHost(c.box.cx, c.box.cy);
        {
            Veltrane_B::Veltrane_R preview(real);
            preview.Embed(reinterpret_cast<platform::Handle>(host), c.box.cx, c.box.cy);
            preview.Show();
            Pump(300);
            RECT place{};  // the screen shows the child window inside the host
            GetWindowRect(host, &place);
            const veltrane_test::Pixels shown =
                veltrane_test::WindowPixels(nullptr, place.left, place.top, c.box.cx, c.box.cy);
            int wrong = 0;
            for (int y = 0; y < c.box.cy; ++y) {
                for (int x = 0; x < c.box.cx; ++x) {
                    const std::uint32_t pixel = shown.At(x, y);
                    const int px = x - c.picture.left, py = y - c.picture.top;
                    if (!PtInRect(&c.picture, POINT{x, y})) {
                        wrong += pixel != 0x00FFFFFF;
                    } else if (exact) {
                        wrong += pixel != from.At(px, py);
                    } else {
                        wrong += (pixel == 0x00FFFFFF) ? allAround(px, py, false)
                                                       : allAround(px, py, true);
                    }
                }
            }
            EXPECT_EQ(wrong, 0) << c.box.cx << " x " << c.box.cy;
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
