#include "startup/preview_window.h"

#include "platform/scaling.h"
#include "resource_ids.h"
#include "startup/process_values.h"
#include "startup/window_titles.h"

namespace Veltrane_B {

namespace {
// How often the preview checks that its host window still exists.
constexpr std::int32_t kHostWatchMilliseconds = 500;
}  // namespace

Veltrane_R::Veltrane_R(platform::Host& host) : host_(host) {
    window_ = host.CreateTopLevelWindow(platform::WindowKind::Borderless);
    window_->SetTitle(kPreviewTitle);
    window_->SetBackColour(0x00FFFFFF);
    window_->EndProgramWhenDestroyed();
    window_->onUnload = [this] { Form_Unload(); };
    image_ = window_->CreateImageControl(nullptr);
    hostWatch_ = host.CreateTimer();
    hostWatch_->onTick = [this] { HostWatch_Timer(); };
}

void Veltrane_R::Embed(platform::Handle hostWindow, std::int32_t width, std::int32_t height) {
    hostWindow_ = hostWindow;
    // A child cannot stay a pop-up as well: the system would keep treating it as a top-level
    // window owned by nobody. Every other style bit is kept.
    const auto style =
        static_cast<std::uint32_t>(host_.GetWindowLongA(hWnd(), platform::kGwlStyle));
    LastApiResult = host_.SetWindowLongA(
        hWnd(), platform::kGwlStyle,
        static_cast<std::int32_t>((style & ~platform::kWsPopup) | platform::kWsChild));
    LastApiResult = static_cast<std::int32_t>(host_.SetParent(hWnd(), hostWindow) != 0);
    window_->Move(0, 0, width, height);
    const platform::Rect place = platform::FitInside(kPreviewPicture, {width, height});
    const platform::Size size{place.right - place.left, place.bottom - place.top};
    image_->Move(place.left, place.top, size.width, size.height);
    image_->SetPicture(size.width > 0 ? host_.LoadBitmapResource(IDB_PREVIEW, size) : 0);
    hostWatch_->SetInterval(kHostWatchMilliseconds);
    hostWatch_->SetEnabled(true);
}

void Veltrane_R::Form_Unload() {
    LastApiResult = host_.PostMessageA(hWnd(), platform::kWmClose, 0, 0);
}

void Veltrane_R::HostWatch_Timer() {
    if (host_.IsWindow(hostWindow_) == 0) host_.EndProgram();
}

}  // namespace Veltrane_B
