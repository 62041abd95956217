// The settings dialog's pieces that stand on their own: the preview frame on picture panels,
// the zoom, the window placement, the number conversions and the preview angle.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "dialog/picture_transform.h"
#include "dialog/rotate_picture.h"
#include "dialog/settings_dialog.h"
#include "dialog/zoom.h"
#include "platform/fake/fake_platform.h"
#include "startup/process_values.h"

namespace {

using platform::Rect;
using platform::fake::FakeHost;
using platform::fake::FakePicturePanel;

// A fake host that also keeps the pixels handed to SetDIBits.
class PixelHost : public FakeHost {
  public:
    std::int32_t SetDIBits(platform::Handle dc, platform::Handle bitmap, std::uint32_t start,
                           std::uint32_t lines, const void* bits, const platform::BitmapInfo* info,
                           std::uint32_t usage) override {
        const auto* bytes = static_cast<const std::uint8_t*>(bits);
        written.assign(bytes, bytes + std::size_t{lines} * std::abs(info->biWidth) * 4);
        return FakeHost::SetDIBits(dc, bitmap, start, lines, bits, info, usage);
    }
    std::vector<std::uint8_t> written;
};

struct Panels {
    explicit Panels(FakeHost& host)
        : source(host, 1, platform::BorderStyle::None),
          destination(host, 2, platform::BorderStyle::None) {}
    FakePicturePanel source;
    FakePicturePanel destination;
};

// Source and destination of different, non-square sizes: every size, the angle and the smoothing
// must reach the transform, and the result must reach the destination panel top-down.
TEST(RotatePicture, ReadsTurnsAndWritesThePanelsImages) {
    for (const bool smooth : {true, false}) {
        PixelHost host;
        Panels panels(host);
        panels.source.Move(544, 104, 7, 5);
        panels.destination.Move(16, 16, 6, 4);
        host.dibBits.resize(7 * 5 * 4);
        for (std::size_t i = 0; i < host.dibBits.size(); ++i)
            host.dibBits[i] = static_cast<std::uint8_t>(i * 37 + 11);

        Veltrane_B2::RotatePicture(host, panels.source, panels.destination, 37.0, smooth);

        std::vector<std::uint8_t> expected(6 * 4 * 4);
        Veltrane_B2::TransformPixels(host.dibBits.data(), 7, 5, expected.data(), 6, 4, 37.0,
                                     smooth);
        EXPECT_EQ(host.written, expected) << smooth;
        const auto handles = [](const FakePicturePanel& p, int lines) {
            return "(" + std::to_string(p.dc) + ", " + std::to_string(p.image) + ", 0, " +
                   std::to_string(lines) + ", 0)";
        };
        EXPECT_EQ(host.CallsNamed("GetDIBits"),
                  std::vector<std::string>{"GetDIBits" + handles(panels.source, 5)});
        EXPECT_EQ(host.CallsNamed("SetDIBits"),
                  std::vector<std::string>{"SetDIBits" + handles(panels.destination, 4)});
        EXPECT_EQ(host.lastDibInfo.biWidth, 6);
        EXPECT_EQ(host.lastDibInfo.biHeight, -4);
        EXPECT_GE(panels.destination.refreshes, 1);
    }
}

TEST(RotatePicture, UnreadableSourceGivesBlackAndEmptyPanelsAreLeftAlone) {
    PixelHost host;
    Panels panels(host);
    panels.source.Move(0, 0, 4, 4);
    panels.destination.Move(0, 0, 4, 4);
    host.getDIBitsResult = 0;  // and nothing filled in
    Veltrane_B2::RotatePicture(host, panels.source, panels.destination, 0.0, true);
    ASSERT_EQ(host.written.size(), 4u * 4 * 4);
    for (std::uint8_t byte : host.written) ASSERT_EQ(byte, 0);

    host.calls.clear();
    panels.destination.Move(0, 0, 0, 4);
    Veltrane_B2::RotatePicture(host, panels.source, panels.destination, 0.0, true);
    EXPECT_TRUE(host.calls.empty());
}

TEST(Zoom, OpensFromAndClosesIntoThePointerAtLoad) {
    const struct {
        std::int32_t cursorResult;
        std::int32_t originX, originY;
    } cases[] = {{1, 300, 200}, {0, 0, 0}};
    for (const auto& c : cases) {
        FakeHost host;
        const platform::Handle window = 0x77;
        host.windowRects[window] = Rect{10, 20, 421, 306};
        host.cursor = {300, 200};
        host.getCursorPosResult = c.cursorResult;
        Veltrane_B::ZoomOriginX = Veltrane_B::ZoomOriginY = 5;

        Veltrane_B::CaptureZoomOrigin(host);
        EXPECT_EQ(Veltrane_B::LastApiResult, c.cursorResult);
        Veltrane_B::ZoomOpen(host, window);
        host.cursor = {900, 700};  // moving the pointer later changes nothing
        Veltrane_B::ZoomClose(host, window);

        const std::string origin = std::to_string(c.originX) + ", " + std::to_string(c.originY);
        const std::vector<std::string> zooms = host.CallsNamed("DrawAnimatedRects");
        ASSERT_EQ(zooms.size(), 2u);
        const std::string call = "DrawAnimatedRects(" + std::to_string(window) + ", 3, ";
        EXPECT_EQ(zooms[0], call + origin + ", " + origin + ", 10, 20, 421, 306)");
        EXPECT_EQ(zooms[1], call + "10, 20, 421, 306, " + origin + ", " + origin + ")");
    }
}

TEST(DialogPosition, CentredAndAtOneThirdInTwips) {
    const struct {
        std::int32_t screenW, screenH, windowW, windowH, tppX, tppY;
        platform::Point expected;
    } cases[] = {
        {1024, 768, 411, 286, 15, 15, {306, 161}},  // 613 x 15 \ 2 = 4597 tw; 482 x 15 \ 3 = 2410
                                                    // tw
        {1024, 768, 412, 287, 15, 15, {306, 160}},
        {800, 600, 411, 286, 12, 12, {194, 105}},  // 120 dots per inch
        {300, 200, 411, 286, 15, 15, {-55, -29}},  // larger than the screen: truncated toward zero
        {1024, 768, 411, 286, 0, 0, {306, 160}},   // no usable factor: plain pixels
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            Veltrane_B::DialogPosition(c.screenW, c.screenH, c.windowW, c.windowH, c.tppX, c.tppY),
            c.expected)
            << c.screenW << "x" << c.screenH << " tpp " << c.tppX;
    }
}

TEST(DialogConversions, NearestTiesToEvenAndOverflowSkips) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float value;
        std::optional<std::int16_t> integer;
        std::optional<std::int32_t> longValue;
    } cases[] = {
        {100.0f, 100, 100},       {2.5f, 2, 2},          {3.5f, 4, 4},
        {-5.0f, -5, -5},          {-0.5f, 0, 0},         {5000.0f, 5000, 5000},
        {32767.0f, 32767, 32767}, {32767.5f, {}, 32768}, {-32768.5f, -32768, -32768},
        {70000.0f, {}, 70000},    {3e9f, {}, {}},        {nan, {}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Veltrane_B::ToInteger16(c.value), c.integer) << c.value;
        EXPECT_EQ(Veltrane_B::ToLong32(c.value), c.longValue) << c.value;
    }
}

TEST(PreviewAngle, WholeDegreesSpreadOverTheCircleAndFixedByTheSeed) {
    std::vector<int> counts(360, 0);
    for (int ms = 0; ms < 36000; ++ms) {
        const double seconds = 43200.0 + ms / 1000.0;
        const std::int32_t angle = Veltrane_B::PreviewAngle(seconds);
        ASSERT_GE(angle, 0);
        ASSERT_LE(angle, 359);
        ASSERT_EQ(angle, Veltrane_B::PreviewAngle(seconds));
        ++counts[angle];
    }
    // 100 expected per degree; every degree turns up and none dominates.
    for (int degree = 0; degree < 360; ++degree) {
        EXPECT_GT(counts[degree], 50) << degree;
        EXPECT_LT(counts[degree], 160) << degree;
    }
    const double r = Veltrane_B::ReseededRandom(std::nextafter(86400.0, 0.0));
    EXPECT_TRUE(r >= 0.0 && r < 1.0);
}

}  // namespace
