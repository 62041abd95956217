// The preview inside a host window: this test program is the host, as the system's screen-saver
// settings page would be.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/win32_host.h"
#include "process_helpers.h"
#include "resource_ids.h"
#include "startup/preview_window.h"

namespace {

using veltrane_test::Pump;
using veltrane_test::SaverProcess;

HWND CreateHost(int width, int height) {
    return CreateWindowExW(0, L"STATIC", L"Preview host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                           40, 40, width, height, nullptr, nullptr, nullptr, nullptr);
}

std::string HandleArgument(HWND host, const char* form) {
    return form + std::to_string(reinterpret_cast<std::uintptr_t>(host));
}

// Waits for the preview window inside the host to be shown (it is embedded before that).
HWND FindPreview(HWND host) {
    for (int i = 0; i < 250; ++i) {
        HWND child = FindWindowExA(host, nullptr, nullptr, "Preview Window");
        if (child && IsWindowVisible(child)) return child;
        Pump(20);
    }
    return nullptr;
}

// The pixels of a window as the screen shows them (with the windows of other processes inside it).
veltrane_test::Pixels Capture(HWND hwnd, int width, int height) {
    RECT place{};
    GetWindowRect(hwnd, &place);
    HDC screen = GetDC(nullptr);
    veltrane_test::Pixels pixels =
        veltrane_test::ReadPixels(screen, place.left, place.top, width, height);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// The preview picture as embedded in Veltrane.scr.
veltrane_test::Pixels PreviewPicture() {
    HMODULE module =
        LoadLibraryExA(veltrane_test::ScreenSaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    veltrane_test::Pixels pixels = veltrane_test::TakeBitmapPixels(static_cast<HBITMAP>(LoadImageA(
        module, MAKEINTRESOURCEA(IDB_PREVIEW), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    FreeLibrary(module);
    return pixels;
}

TEST(Preview, EmbedsInTheHostWithItsSizeAndEndsWithIt) {
    for (const SIZE size : {SIZE{152, 112}, SIZE{200, 150}}) {
        HWND host = CreateHost(size.cx, size.cy);
        SaverProcess saver(HandleArgument(host, size.cx == 152 ? "/p " : "/p:"));
        HWND preview = FindPreview(host);
        ASSERT_NE(preview, nullptr) << size.cx;
        EXPECT_EQ(GetParent(preview), host);
        EXPECT_TRUE(GetWindowLongW(preview, GWL_STYLE) & WS_CHILD);
        RECT rect{};
        GetWindowRect(preview, &rect);
        MapWindowPoints(HWND_DESKTOP, host, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, 0);
        EXPECT_EQ(rect.top, 0);
        EXPECT_EQ(rect.right, size.cx);
        EXPECT_EQ(rect.bottom, size.cy);

        // Input over the preview never ends it.
        SendMessageW(preview, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageW(preview, WM_KEYDOWN, 'A', 0);
        EXPECT_FALSE(saver.EndsWithin(300));

        DestroyWindow(host);
        EXPECT_TRUE(saver.EndsWithin(2000)) << "the preview outlived its host window";
        EXPECT_EQ(saver.ExitCode(), 0u);
    }
}

// Wine draws a child window only in the process that owns its top-level window, so the pixels
// are checked with the preview window made in this process, inside a host window of its own.
TEST(Preview, ShowsThePictureAtItsOwnSizeAndWhiteBeyondIt) {
    const veltrane_test::Pixels picture = PreviewPicture();
    ASSERT_EQ(picture.width, 152);
    ASSERT_EQ(picture.height, 112);
    platform::win32::Win32Host real(GetModuleHandleW(nullptr));

    for (const SIZE size : {SIZE{152, 112}, SIZE{200, 150}, SIZE{100, 80}}) {
        HWND host = CreateHost(size.cx, size.cy);
        {
            Veltrane_B::Veltrane_R preview(real);
            preview.Embed(reinterpret_cast<platform::Handle>(host), size.cx, size.cy);
            preview.Show();
            Pump(300);
            const veltrane_test::Pixels shown = Capture(host, size.cx, size.cy);
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

TEST(Preview, EndsWhenItsWindowIsClosed) {
    HWND host = CreateHost(152, 112);
    SaverProcess saver(HandleArgument(host, "/p "));
    HWND preview = FindPreview(host);
    ASSERT_NE(preview, nullptr);
    PostMessageW(preview, WM_CLOSE, 0, 0);
    EXPECT_TRUE(saver.EndsWithin(2000));
    EXPECT_EQ(saver.ExitCode(), 0u);
    DestroyWindow(host);
}

TEST(Preview, HandleThatNamesNoWindowEndsAtOnce) {
    HWND closed = CreateHost(10, 10);
    DestroyWindow(closed);
    for (const std::string& line : {std::string("/p 0"), std::string("/p 99999"), std::string("/p"),
                                    HandleArgument(closed, "/p ")}) {
        SaverProcess saver(line);
        EXPECT_TRUE(saver.EndsWithin(2000)) << line;
        EXPECT_FALSE(veltrane_test::HasVisibleWindow(saver.Id())) << line;
    }
}

}  // namespace
