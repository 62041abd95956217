#include "session/session_window.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "startup/process_values.h"
#include "startup/random.h"
#include "startup/saver_state.h"
#include "startup/startup.h"

namespace Veltrane_B {

Veltrane_S::Veltrane_S(platform::Host& host) : host_(host) {
    // Start-up hid the cursor in mode "S" just before creating this window.
    cursorHidden_ = ModeS();
    host_.UsePhysicalPixels();
    window_ = host_.CreateTopLevelWindow(platform::WindowKind::Borderless);
    window_->SetTitle(kSessionTitle);
    window_->EndProgramWhenDestroyed();
    // Master only holds the capture; Display, above it, is what the screen shows.
    master_ = window_->CreatePicturePanel(nullptr, platform::BorderStyle::None);
    master_->SetVisible(false);
    display_ = window_->CreatePicturePanel(nullptr, platform::BorderStyle::None);
    timer1_ = host_.CreateTimer();
    timer1_->SetInterval(1);

    window_->onKeyDown = [this](int keyCode, int shift) { Form_KeyDown(keyCode, shift); };
    window_->onMouseDown = [this](int button, int shift, int x, int y) {
        Form_MouseDown(button, shift, x, y);
    };
    window_->onUnload = [this] { Form_Unload(); };
    display_->onClick = [this] { Display_Click(); };
    display_->onMouseDown = [this](int button, int shift, int x, int y) {
        Display_MouseDown(button, shift, x, y);
    };
    timer1_->onTick = [this] { Timer1_Timer(); };
}

Veltrane_S::~Veltrane_S() = default;

bool Veltrane_S::ModeS() {
    return ModeLetter(host_) == "S";
}

void Veltrane_S::Form_Load() {
    // The whole virtual screen (every monitor) in physical pixels; sizes stay in 32 bits.
    const platform::Rect screen = host_.VirtualScreen();
    const std::int32_t width = screen.right - screen.left;
    const std::int32_t height = screen.bottom - screen.top;
    window_->Move(screen.left, screen.top, width, height);
    window_->SetBackColour(Veltrane_B1::kBackColour);
    display_->SetBackColour(Veltrane_B1::kBackColour);
    master_->SetBackColour(Veltrane_B1::kBackColour);
    master_->Move(0, 0, width, height);

    // The window is still hidden, so the copy shows the desktop without it.
    const platform::Handle desktop = host_.GetDesktopWindow();
    const platform::Handle screenDc = host_.GetDC(desktop);
    LastApiResult = host_.BitBlt(master_->hDC(), 0, 0, width, height, screenDc, screen.left,
                                 screen.top, platform::kSrcCopy);
    LastApiResult = host_.ReleaseDC(desktop, screenDc);

    display_->SetPicture(master_->ImageHandle());
    const platform::Rect shown = display_->Bounds();
    const std::int32_t shownWidth = shown.right - shown.left;
    const std::int32_t shownHeight = shown.bottom - shown.top;
    display_->Move((width - shownWidth) / 2, (height - shownHeight) / 2, shownWidth, shownHeight);
    imageWidth_ = shownWidth;
    imageHeight_ = shownHeight;
    centre_ = {imageWidth_ / 2, imageHeight_ / 2};

    CaptureToPixels();
    ShowImage(3);

    platform::Point cursor;
    LastApiResult = host_.GetCursorPos(&cursor);
    if (LastApiResult != 0) {
        startCursor_ = cursor;
        haveStartCursor_ = true;
    }

    window_->Show();
    LastApiResult =
        host_.SetWindowPos(window_->hWnd(), platform::kHwndTopmost, 0, 0, 0, 0,
                           platform::kSwpNoSize | platform::kSwpNoMove | platform::kSwpNoActivate);

    // A period the timer cannot take (only a hand-edited settings file gives one) runs at the
    // default instead of leaving the timer at 1 ms or, at 0, never ticking.
    const float interval = DisplayInterval;
    std::int64_t period = 0;
    if (std::isfinite(interval) && std::fabs(interval) < 1e9f)
        period = static_cast<std::int64_t>(std::nearbyint(interval));
    if (period < 1 || !timer1_->SetInterval(period)) timer1_->SetInterval(kDefaultInterval);
    timer1_->SetEnabled(true);
}

void Veltrane_S::ReadBitmapBits(platform::Handle bitmap) {
    platform::BitmapRecord record;
    host_.GetObjectA(bitmap, &record);
    const platform::Handle dc = host_.CreateCompatibleDC(0);
    const platform::Handle previous = host_.SelectObject(dc, bitmap);
    const std::int32_t bitmapHeight = record.bmHeight < 0 ? -record.bmHeight : record.bmHeight;
    if (!Veltrane_B1::DibHeaderFor(record.bmWidth, bitmapHeight, pixels_.dibHeader) ||
        !pixels_.Allocate(imageWidth_, imageHeight_)) {
        pixels_.Release();
        host_.MessageBoxW(window_->hWnd(), "Error", kApplicationTitle, platform::kMbOk);
    } else if (record.bmWidth == imageWidth_) {
        // Rows of the bitmap's width are written: only read when that is the image's width, and
        // never more lines than image 1 holds.
        const auto lines = static_cast<std::uint32_t>(std::min(imageHeight_, bitmapHeight));
        host_.GetDIBits(dc, bitmap, 0, lines, pixels_.Image(1), &pixels_.dibHeader,
                        platform::kDibPalColors);
    }
    host_.SelectObject(dc, previous);
    host_.DeleteDC(dc);
}

void Veltrane_S::CaptureToPixels() {
    ReadBitmapBits(display_->ImageHandle());
    pixels_.CopyImage(1, 2);
    pixels_.CopyImage(1, 3);
}

void Veltrane_S::ShowImage(int imageNumber) {
    if (!pixels_.Allocated()) return;
    if (!Veltrane_B1::PresentImage(host_, *display_, pixels_, imageNumber)) BlitError();
}

void Veltrane_S::BlitError() {
    stopped_ = true;
    timer1_->SetEnabled(false);
    pixels_.Release();
    ShowCursorAgain();  // the user has to see the message and its button
    host_.MessageBoxW(window_->hWnd(), "Blit Error", kApplicationTitle, platform::kMbOk);
    host_.EndProgram();
}

double Veltrane_S::NextRandom() {
    // Reseeded from the time of day at every tick; the previous state is mixed in, so two ticks
    // within one step of the clock still get different numbers.
    const double seconds = host_.SecondsSinceMidnight();
    std::uint64_t bits = 0;
    std::memcpy(&bits, &seconds, sizeof bits);
    randomState_ ^= bits;
    return SplitMixUniform(randomState_ += kSplitMixIncrement);
}

void Veltrane_S::Timer1_Timer() {
    // The step and this tick let messages run; a tick that arrives meanwhile, or while the
    // password dialog is open, is skipped rather than nested.
    if (inTick_ || checkingPassword_ || stopped_) return;
    inTick_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{inTick_};

    rotationAngle_ = static_cast<float>(std::min(359.0, std::floor(NextRandom() * 360.0)));
    if (!Veltrane_B1::RotateStep(host_, *display_, pixels_, centre_, rotationAngle_)) {
        BlitError();
        return;
    }
    host_.DoEvents();
    if (stopped_ || !ModeS()) return;

    platform::Point cursor;
    LastApiResult = host_.GetCursorPos(&cursor);
    if (LastApiResult == 0) return;  // no reading is no movement
    if (!haveStartCursor_) {
        startCursor_ = cursor;
        haveStartCursor_ = true;
        return;
    }
    if (cursor.x != startCursor_.x && cursor.y != startCursor_.y) ExitSession();
}

void Veltrane_S::Form_KeyDown(int, int) {
    ExitSession();
}

void Veltrane_S::Form_MouseDown(int, int, int, int) {
    ExitSession();
}

void Veltrane_S::Display_Click() {
    ExitSession();
}

void Veltrane_S::Display_MouseDown(int button, int shift, int x, int y) {
    // A left press ends the session through its click; the other buttons report no click.
    if (button != platform::kLeftButton) Form_MouseDown(button, shift, x, y);
}

void Veltrane_S::ShowCursorAgain() {
    if (!cursorHidden_) return;
    host_.ShowCursor(1);
    cursorHidden_ = false;
}

void Veltrane_S::ExitSession() {
    if (checkingPassword_ || stopped_) return;
    const bool modeS = ModeS();
    if (modeS && !IsWinNT(host_)) {
        ShowCursorAgain();
        checkingPassword_ = true;
        const bool ok = host_.VerifyScreenSavePwd(window_->hWnd()) != 0;
        checkingPassword_ = false;
        if (!ok) {
            host_.ShowCursor(0);
            cursorHidden_ = true;
            return;
        }
    }
    if (modeS) {
        SetSaverStopped(host_, true);
        ShowCursorAgain();
    }
    host_.SystemParametersInfoA(platform::kSpiSetScreenSaveActive, 1, nullptr, 0);
    // Unload, then end at once: ending the program takes the window with it. Destroying the
    // window first would only add the window system's round trip (seconds under some X window
    // managers) before the process ends.
    Form_Unload();
    host_.EndProgram();
}

void Veltrane_S::Form_Unload() {
    stopped_ = true;
    timer1_->SetEnabled(false);
    pixels_.Release();
    // Closed some other way than ExitSession (which has shown it already): mode "S" still
    // leaves the cursor visible.
    ShowCursorAgain();
}

}  // namespace Veltrane_B
