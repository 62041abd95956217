// A panel's persistent image read and written through the host's GetDIBits and SetDIBits. The
// platform allows those calls only on a bitmap outside every device context, so the host takes the
// image out of its panel's context for the call and puts it back afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <vector>

#include "platform/win32/win32_host.h"
#include "platform/win32/win32_panel.h"

namespace {

using platform::win32::PanelImageFreed;

TEST(PanelImage, GetAndSetDIBitsWorkOutsideTheContextAndPutTheImageBack) {
    platform::win32::Win32Host host{GetModuleHandleW(nullptr)};
    auto window = host.CreateTopLevelWindow(platform::WindowKind::Borderless);
    auto panel = window->CreatePicturePanel(nullptr, platform::BorderStyle::None);
    panel->Move(0, 0, 4, 3);
    HDC dc = reinterpret_cast<HDC>(panel->hDC());
    auto image = reinterpret_cast<HBITMAP>(panel->ImageHandle());
    ASSERT_EQ(GetCurrentObject(dc, OBJ_BITMAP), image);
    {
        const PanelImageFreed freed(image);
        EXPECT_NE(GetCurrentObject(dc, OBJ_BITMAP), image);
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), image);

    SetPixel(dc, 1, 0, RGB(0x0A, 0x14, 0x1E));
    platform::BitmapInfo header{40, 4, -3, 1, 32};  // 4 x 3, top-down, 32 bits
    std::vector<std::uint32_t> pixels(12);
    EXPECT_EQ(host.GetDIBits(panel->hDC(), panel->ImageHandle(), 0, 3, pixels.data(), &header,
                             platform::kDibRgbColors),
              3);
    EXPECT_EQ(pixels[1] & 0xFFFFFF, 0x0A141Eu);
    pixels[5] = 0x00112233;  // x 1, y 1: blue 0x33, green 0x22, red 0x11
    EXPECT_EQ(host.SetDIBits(panel->hDC(), panel->ImageHandle(), 0, 3, pixels.data(), &header,
                             platform::kDibRgbColors),
              3);
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), image);
}

}  // namespace
