#include "dialog/zoom.h"

#include "startup/process_values.h"

namespace Veltrane_B {
namespace {

platform::Rect OriginPoint() {
    return {ZoomOriginX, ZoomOriginY, ZoomOriginX, ZoomOriginY};
}

// The window's screen rectangle; all zero when it cannot be read.
platform::Rect WindowRectangle(platform::Host& host, platform::Handle window) {
    platform::Rect rect{};
    if (host.GetWindowRect(window, &rect) == 0) rect = {};
    return rect;
}

}  // namespace

void CaptureZoomOrigin(platform::Host& host) {
    platform::Point point{};
    LastApiResult = host.GetCursorPos(&point);
    if (LastApiResult != 0) {
        ZoomOriginX = point.x;
        ZoomOriginY = point.y;
    } else {
        ZoomOriginX = 0;
        ZoomOriginY = 0;
    }
}

void ZoomOpen(platform::Host& host, platform::Handle window) {
    const platform::Rect from = OriginPoint();
    const platform::Rect to = WindowRectangle(host, window);
    host.DrawAnimatedRects(window, platform::kIdaniCaption, &from, &to);
}

void ZoomClose(platform::Host& host, platform::Handle window) {
    const platform::Rect from = WindowRectangle(host, window);
    const platform::Rect to = OriginPoint();
    host.DrawAnimatedRects(window, platform::kIdaniCaption, &from, &to);
}

}  // namespace Veltrane_B
