#include "session/session_window.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/rounding.h"
#include "platform/toolkit_rules.h"
#include "session/saver_state.h"
#include "startup/process_values.h"
#include "startup/random.h"
#include "startup/startup.h"

namespace Veltrane_B {

Veltrane_S::Veltrane_S(platform::Host& host) : host_(host) {
    // Start-up hid the cursor in mode "S" just before creating this window.
    cursorHidden_ = ModeS();
    host_.UsePhysicalPixels();
    window_ = host_.CreateTopLevelWindow(platform::WindowKind::Borderless);
    window_->SetTitle(kSessionTitle);
    window_->EndProgramWhenDestroyed();
    // Master only holds each capture on its way; the Displays, above it, are what the screen shows.
    master_ = window_->CreatePicturePanel(nullptr, platform::BorderStyle::None);
    master_->SetVisible(false);
    AddDisplay();
    timer1_ = host_.CreateTimer();
    timer1_->SetInterval(1);

    // Every key is the session's, whatever it is.
    window_->onKeyDown = [this](int keyCode, int shift) {
        Form_KeyDown(keyCode, shift);
        return true;
    };
    window_->onMouseDown = [this](int button, int shift, int x, int y) {
        Form_MouseDown(button, shift, x, y);
    };
    window_->onUnload = [this] { Form_Unload(); };
    window_->onDisplayChange = [this] { Form_DisplayChange(); };
    timer1_->onTick = [this] { Timer1_Timer(); };
}

Veltrane_S::~Veltrane_S() = default;

bool Veltrane_S::ModeS() {
    return ModeLetter(host_) == "S";
}

void Veltrane_S::AddDisplay() {
    Veltrane_B1::MonitorImage& monitor = monitors_.emplace_back();
    monitor.display = window_->CreatePicturePanel(nullptr, platform::BorderStyle::None);
    monitor.display->SetBackColour(Veltrane_B1::kBackColour);
    monitor.display->onClick = [this] { Display_Click(); };
    monitor.display->onMouseDown = [this](int button, int shift, int x, int y) {
        Display_MouseDown(button, shift, x, y);
    };
}

namespace {
// The monitors to show, in the system's order: empty ones and repeats of an earlier one (mirrored
// outputs) dropped; the virtual screen as the one monitor when the system lists none.
std::vector<platform::Rect> MonitorsToShow(const std::vector<platform::Rect>& listed,
                                           const platform::Rect& screen) {
    std::vector<platform::Rect> shown;
    for (const platform::Rect& monitor : listed) {
        if (monitor.right <= monitor.left || monitor.bottom <= monitor.top) continue;
        if (std::find(shown.begin(), shown.end(), monitor) == shown.end()) shown.push_back(monitor);
    }
    if (shown.empty()) shown.push_back(screen);
    return shown;
}

bool OnAny(const platform::Point& point, const std::vector<Veltrane_B1::MonitorImage>& monitors) {
    return std::any_of(monitors.begin(), monitors.end(), [&](const auto& shown) {
        const platform::Rect& m = shown.monitor;
        return point.x >= m.left && point.x < m.right && point.y >= m.top && point.y < m.bottom;
    });
}
}  // namespace

void Veltrane_S::Form_Load() {
    const platform::Rect screen = host_.VirtualScreen();
    host_.DisplayMonitors(listed_);
    CoverMonitors(screen);
    window_->SetBackColour(Veltrane_B1::kBackColour);
    master_->SetBackColour(Veltrane_B1::kBackColour);

    // The window is still hidden, so the copies show the desktop without it. Only the monitors
    // are copied: what lies between them never reaches a frame.
    const platform::Handle desktop = host_.GetDesktopWindow();
    const platform::Handle screenDc = host_.GetDC(desktop);
    for (Veltrane_B1::MonitorImage& monitor : monitors_) CaptureMonitor(screenDc, screen, monitor);
    LastApiResult = host_.ReleaseDC(desktop, screenDc);
    for (std::size_t i = 0; i < monitors_.size(); ++i) ShowImage(i, 3);

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

    // A period the timer cannot take (only a hand-edited settings file gives one: 0, negative,
    // beyond 65535 ms) runs at the default instead of leaving the timer at 1 ms or, at 0, never
    // ticking.
    const std::optional<std::int64_t> period =
        platform::NearestWholeIn(DisplayInterval, 1, platform::kMaxTimerInterval);
    if (!period || !timer1_->SetInterval(*period)) timer1_->SetInterval(kDefaultInterval);
    timer1_->SetEnabled(true);
    loaded_ = true;
}

void Veltrane_S::CoverMonitors(const platform::Rect& screen) {
    // The window covers the whole virtual screen (every monitor) in physical pixels; each monitor
    // gets its own Display at its place in it. Sizes stay in 32 bits.
    layoutScreen_ = screen;
    window_->Move(screen.left, screen.top, screen.right - screen.left, screen.bottom - screen.top);
    const std::vector<platform::Rect> monitors = MonitorsToShow(listed_, screen);
    if (monitors_.size() > monitors.size())
        monitors_.erase(monitors_.begin() + static_cast<std::ptrdiff_t>(monitors.size()),
                        monitors_.end());
    while (monitors_.size() < monitors.size()) AddDisplay();
    for (std::size_t i = 0; i < monitors.size(); ++i) monitors_[i].monitor = monitors[i];
}

void Veltrane_S::CaptureMonitor(platform::Handle screenDc, const platform::Rect& screen,
                                Veltrane_B1::MonitorImage& monitor) {
    const platform::Rect& area = monitor.monitor;
    const std::int32_t width = area.right - area.left;
    const std::int32_t height = area.bottom - area.top;
    master_->Move(0, 0, width, height);
    LastApiResult = host_.BitBlt(master_->hDC(), 0, 0, width, height, screenDc, area.left, area.top,
                                 platform::kSrcCopy);
    platform::PicturePanel& display = *monitor.display;
    display.SetPicture(master_->ImageHandle());
    // Display holds the copy now: the capture surface gives its memory back at once.
    master_->Move(0, 0, 1, 1);

    const platform::Rect shown = display.Bounds();
    SetImageSize(monitor, shown.right - shown.left, shown.bottom - shown.top, screen);
    CaptureToPixels(monitor);
}

void Veltrane_S::SetImageSize(Veltrane_B1::MonitorImage& monitor, std::int32_t width,
                              std::int32_t height, const platform::Rect& screen) {
    // Centred on the monitor, which the image covers when it has the monitor's size; the window's
    // origin is the virtual screen's.
    const platform::Rect& area = monitor.monitor;
    monitor.display->Move(area.left - screen.left + (area.right - area.left - width) / 2,
                          area.top - screen.top + (area.bottom - area.top - height) / 2, width,
                          height);
    monitor.width = width;
    monitor.height = height;
    monitor.centre = {width / 2, height / 2};
}

bool Veltrane_S::MakeImages(Veltrane_B1::MonitorImage& monitor, std::int32_t bitmapWidth,
                            std::int32_t bitmapHeight) {
    Veltrane_B1::PixelStack& pixels = monitor.pixels;
    if (Veltrane_B1::DibHeaderFor(bitmapWidth, bitmapHeight, pixels.dibHeader) &&
        pixels.Allocate(monitor.width, monitor.height))
        return true;
    pixels.Release();
    ReadError();
    return false;
}

void Veltrane_S::ReadError() {
    if (!readErrorShown_)
        host_.MessageBoxW(window_->hWnd(), "Error", kApplicationTitle, platform::kMbOk);
    readErrorShown_ = true;
}

void Veltrane_S::ReadBitmapBits(platform::Handle bitmap, Veltrane_B1::MonitorImage& monitor) {
    Veltrane_B1::PixelStack& pixels = monitor.pixels;
    platform::BitmapRecord record;
    host_.GetObjectA(bitmap, &record);
    const std::int32_t bitmapHeight = record.bmHeight < 0 ? -record.bmHeight : record.bmHeight;
    if (!MakeImages(monitor, record.bmWidth, bitmapHeight)) return;
    // Rows of the bitmap's width are written: only read when that is the image's width, and
    // never more lines than image 1 holds.
    if (record.bmWidth != monitor.width) return;
    const std::int32_t lines = std::min(monitor.height, bitmapHeight);
    platform::DibSection section;
    if (host_.GetDibSection(bitmap, &section) && section.bits && section.bitsPixel == 32 &&
        section.width == record.bmWidth &&
        std::abs(std::int64_t{section.height}) >= std::int64_t{lines}) {
        // A DIB section (every panel's image is one) stays selected into its panel's device
        // context, where GetDIBits may not read it: its own bits are read instead.
        Veltrane_B1::CopyBottomUp(section, lines, pixels.Image(1));
        return;
    }
    // Any other bitmap through GetDIBits; the context only tells the screen's format, the
    // bitmap is not selected into it.
    const platform::Handle dc = host_.CreateCompatibleDC(0);
    host_.GetDIBits(dc, bitmap, 0, static_cast<std::uint32_t>(lines), pixels.Image(1),
                    &pixels.dibHeader, platform::kDibPalColors);
    host_.DeleteDC(dc);
}

void Veltrane_S::CaptureToPixels(Veltrane_B1::MonitorImage& monitor) {
    ReadBitmapBits(monitor.display->ImageHandle(), monitor);
    monitor.pixels.CopyImage(1, 2);
    monitor.pixels.CopyImage(1, 3);
}

void Veltrane_S::ShowImage(std::size_t monitor, int imageNumber) {
    Veltrane_B1::MonitorImage& shown = monitors_[monitor];
    if (!shown.pixels.Allocated() || stopped_) return;
    if (!Veltrane_B1::PresentImage(host_, *shown.display, shown.pixels, imageNumber)) BlitError();
}

bool Veltrane_S::LayoutChanged() {
    // One reading answers every notice so far.
    layoutPending_ = false;
    if (!loaded_ || stopped_) return false;
    polledScreen_ = host_.VirtualScreen();
    host_.DisplayMonitors(polled_);
    return polledScreen_ != layoutScreen_ || polled_ != listed_;
}

void Veltrane_S::LayOutAgain() {
    // The captures become the source of every later layout; the old layout's buffers all go
    // before the new ones are made.
    if (!capturesKept_) {
        capturesKept_ = true;
        for (const Veltrane_B1::MonitorImage& monitor : monitors_) {
            if (!monitor.pixels.Allocated()) continue;
            const platform::Rect shown = monitor.display->Bounds();
            const platform::Rect place{shown.left + layoutScreen_.left,
                                       shown.top + layoutScreen_.top,
                                       shown.left + layoutScreen_.left + monitor.width,
                                       shown.top + layoutScreen_.top + monitor.height};
            if (!captured_.Add(place, monitor.pixels.Image(1))) ReadError();
        }
    }
    ReleasePixels();

    // As a session started on these monitors with the captured desktop on the screen would be.
    listed_.swap(polled_);
    CoverMonitors(polledScreen_);
    for (Veltrane_B1::MonitorImage& monitor : monitors_) {
        const platform::Rect& area = monitor.monitor;
        SetImageSize(monitor, area.right - area.left, area.bottom - area.top, layoutScreen_);
        if (!MakeImages(monitor, monitor.width, monitor.height)) {
            monitor.display->Clear();
            continue;
        }
        captured_.Compose(area, Veltrane_B1::kBackColour, monitor.pixels.Image(1));
        monitor.pixels.CopyImage(1, 2);
        monitor.pixels.CopyImage(1, 3);
    }
    for (std::size_t i = 0; i < monitors_.size(); ++i) ShowImage(i, 3);

    // The system moves a cursor whose monitor went away; that is not the user moving it.
    platform::Point cursor;
    if (haveStartCursor_ && !OnAny(startCursor_, monitors_) && host_.GetCursorPos(&cursor) != 0)
        startCursor_ = cursor;
    // The first turn of the new layout comes one period from now, as after set-up.
    timer1_->SetEnabled(true);
}

void Veltrane_S::ReleasePixels() {
    for (Veltrane_B1::MonitorImage& monitor : monitors_) monitor.pixels.Release();
}

void Veltrane_S::BlitError() {
    stopped_ = true;
    timer1_->SetEnabled(false);
    ReleasePixels();
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
    // A change told while the password dialog was open: the new layout first, the turn later.
    if (layoutPending_ && LayoutChanged()) {
        LayOutAgain();
        return;
    }
    inTick_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{inTick_};

    rotationAngle_ = static_cast<float>(std::min(359.0, std::floor(NextRandom() * 360.0)));
    if (!Veltrane_B1::RotateStep(host_, monitors_, rotationAngle_)) {
        BlitError();
        return;
    }
    host_.DoEvents();
    if (stopped_) return;

    const bool modeS = ModeS();
    platform::Point cursor;
    if (modeS) LastApiResult = host_.GetCursorPos(&cursor);
    // Every tick also compares the monitors, since not every system tells of a change (Wine does
    // not). They are read after the cursor: when the reading already has the cursor where the
    // system put it for a change, the change shows here too and is laid out instead of being
    // taken for the user's movement. (Under X the pointer can be moved tens of milliseconds
    // before Wine lists the new monitors; only a move on both axes would end the session.)
    if (LayoutChanged()) {
        LayOutAgain();
        return;
    }
    if (!modeS || LastApiResult == 0) return;  // no reading is no movement
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

void Veltrane_S::Form_DisplayChange() {
    // A tick or the password check may be using the buffers; several notices make one re-layout.
    layoutPending_ = true;
    if (!inTick_ && !checkingPassword_ && LayoutChanged()) LayOutAgain();
}

void Veltrane_S::Form_Unload() {
    stopped_ = true;
    timer1_->SetEnabled(false);
    ReleasePixels();
    // Closed some other way than ExitSession (which has shown it already): mode "S" still
    // leaves the cursor visible.
    ShowCursorAgain();
}

}  // namespace Veltrane_B
