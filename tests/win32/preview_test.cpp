// The preview inside a host window (as the system's settings page), and starts that end at once.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/win32_host.h"
#include "process_helpers.h"
#include "resource_ids.h"
#include "startup/preview_window.h"
#include "unit/process_values_guard.h"

namespace {

using veltrane_test::CreateHost;
using veltrane_test::Pixels;
using veltrane_test::PreviewLine;
using veltrane_test::SaverProcess;

// Fills its host; ends not on input but with its host or its own window (handle after " " or ":").
TEST(Preview, EmbedsInTheHostWithItsSizeAndEndsWithItOrItsWindow) {
    for (const bool endHost : {true, false}) {
        const SIZE size = endHost ? SIZE{152, 112} : SIZE{200, 150};
        HWND host = CreateHost(size.cx, size.cy), preview = nullptr;
        SaverProcess saver(PreviewLine(host, endHost ? "/p " : "/p:"));
        ASSERT_TRUE(veltrane_test::PumpUntil(5000, [&] {
            preview = FindWindowExA(host, nullptr, nullptr, "Preview Window");
            return preview && IsWindowVisible(preview);
        })) << size.cx;
        EXPECT_TRUE(GetWindowLongW(preview, GWL_STYLE) & WS_CHILD);
        RECT r{};
        GetWindowRect(preview, &r);
        MapWindowPoints(HWND_DESKTOP, host, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
                  std::vector<LONG>({0, 0, size.cx, size.cy}));

        SendMessageW(preview, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageW(preview, WM_KEYDOWN, 'A', 0);
        EXPECT_EQ(saver.ExitWithin(300), STILL_ACTIVE) << "input ended the preview";

        endHost ? DestroyWindow(host) : PostMessageW(preview, WM_CLOSE, 0, 0);
        EXPECT_EQ(saver.ExitWithin(2000), 0u) << (endHost ? "outlived its host" : "not closed");
        DestroyWindow(host);
    }
}

// In this process (Wine draws a child only in its top-level window's process): the picture centred
// on white, exact at its drawn sizes, else resized from the nearest (white where that is all
// round).
TEST(Preview, FillsTheHostBoxWithThePictureAtItsAspect) {
    const ProcessValuesGuard processValues;  // embedding stores the platform's results
    const Pixels smallest = veltrane_test::ResourcePixels(IDB_PREVIEW);
    ASSERT_EQ(std::pair(smallest.width, smallest.height), std::pair(152, 112));
    platform::win32::Win32Host real(GetModuleHandleW(nullptr));

    const struct {
        SIZE box;
        RECT picture;  // where it shows in the box
        int nearest;   // the picture drawn at the nearest scale
    } cases[] = {
        {{152, 112}, {0, 0, 152, 112}, 0}, {{190, 140}, {0, 0, 190, 140}, 1},
        {{228, 168}, {0, 0, 228, 168}, 1}, {{304, 224}, {0, 0, 304, 224}, 2},
        {{200, 150}, {0, 1, 200, 148}, 1},
    };
    for (const auto& [box, picture, nearest] : cases) {
        const Pixels from = veltrane_test::ResourcePixels(ScaledPictureId(IDB_PREVIEW, nearest));
        const int width = picture.right - picture.left, height = picture.bottom - picture.top;
        const bool exact = width == from.width && height == from.height;
        // Whether `from` is white (or not) all around where the box's pixel samples it.
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
        HWND host = CreateHost(box.cx, box.cy);
        {
            Veltrane_B::Veltrane_R preview(real);
            preview.Embed(reinterpret_cast<platform::Handle>(host), box.cx, box.cy);
            preview.Show();
            veltrane_test::Pump(300);
            RECT place{};  // the screen shows the child window inside the host
            GetWindowRect(host, &place);
            const Pixels shown =
                veltrane_test::WindowPixels(nullptr, place.left, place.top, box.cx, box.cy);
            int wrong = 0;
            for (int y = 0; y < box.cy; ++y)
                for (int x = 0; x < box.cx; ++x) {
                    const std::uint32_t pixel = shown.At(x, y);
                    const int px = x - picture.left, py = y - picture.top;
                    if (!PtInRect(&picture, POINT{x, y}))
                        wrong += pixel != 0x00FFFFFF;
                    else if (exact)
                        wrong += pixel != from.At(px, py);
                    else
                        wrong += allAround(px, py, pixel != 0x00FFFFFF);
                }
            EXPECT_EQ(wrong, 0) << box.cx << " x " << box.cy;
        }
        DestroyWindow(host);
    }
}

// Each start ends at once with 0: beside another instance (by its window's title), or with no host.
TEST(Startup, EndsAtOnceWhenAnotherInstanceRunsOrThePreviewHasNoHost) {
    HWND host = CreateHost(152, 112), closed = CreateHost(10, 10);
    DestroyWindow(closed);
    const std::vector<std::string> every = {"/s", "", "/c", PreviewLine(host), "/a 1"};
    const struct {
        const wchar_t* running;  // the title of the other instance's window, if any
        DWORD within;
        std::vector<std::string> lines;
    } rows[] = {
        {L"Veltrane_Main", 5000, every},
        {L"<Veltrane>", 5000, every},
        {nullptr, 2000, {"/p 0", "/p 99999", "/p", PreviewLine(closed)}},
    };
    for (const auto& [running, within, lines] : rows) {
        HWND marker = running ? CreateWindowExW(0, L"STATIC", running, WS_POPUP, 0, 0, 10, 10,
                                                nullptr, nullptr, nullptr, nullptr)
                              : nullptr;
        ASSERT_EQ(marker != nullptr, running != nullptr);
        for (const std::string& line : lines)
            EXPECT_EQ(SaverProcess(line).ExitWithin(within), 0u) << line;
        DestroyWindow(marker);
    }
    DestroyWindow(host);
}

}  // namespace
