// The full-screen session window: copies the desktop, covers the virtual screen with it and turns
// the copy by a new random angle at every tick until a key, a button or a mouse movement ends it.
// Each monitor has its own capture and Display panel and turns about its own centre. When the
// monitors change, the window lays itself out again over the desktop it captured at set-up.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "effects/pixel_stack.h"
#include "effects/rotate_step.h"
#include "platform/platform.h"

namespace Veltrane_B {

class Veltrane_S {
  public:
    // Creates the window, hidden, with Master, the first monitor's Display and Timer1 (disabled,
    // 1 ms). Switches the process to physical pixels first, so the capture is the whole screen at
    // full resolution.
    explicit Veltrane_S(platform::Host& host);
    ~Veltrane_S();

    // Set-up: one capture per monitor, first frame, then shown topmost with the timer running.
    void Form_Load();
    void Timer1_Timer();
    void Form_KeyDown(int keyCode, int shift);
    void Form_MouseDown(int button, int shift, int x, int y);
    void Display_Click();
    void Display_MouseDown(int button, int shift, int x, int y);
    void Form_Unload();
    // The monitors may have changed: lays the window out again at once, or at the end of a tick
    // or password check that is running.
    void Form_DisplayChange();
    // Ends the session: password check (mode "S" outside the NT family), restores the system
    // state, unloads the window and ends the program. Returns only when the check failed or a
    // check is already open.
    void ExitSession();

    // Fills all three images of a monitor's pixel stack from its Display's picture.
    void CaptureToPixels(Veltrane_B1::MonitorImage& monitor);
    // Allocates the monitor's pixel stack anew and reads `bitmap` into image 1.
    void ReadBitmapBits(platform::Handle bitmap, Veltrane_B1::MonitorImage& monitor);

    // What set-up computed, for tests and tools; without an index, the first monitor's.
    const std::vector<Veltrane_B1::MonitorImage>& Monitors() const { return monitors_; }
    std::int32_t ImageWidth() const { return monitors_.front().width; }
    std::int32_t ImageHeight() const { return monitors_.front().height; }
    Veltrane_B1::Centre Centre() const { return monitors_.front().centre; }
    const Veltrane_B1::PixelStack& PixelStack() const { return monitors_.front().pixels; }
    platform::PicturePanel& Display(std::size_t monitor = 0) {
        return *monitors_.at(monitor).display;
    }
    float RotationAngle() const { return rotationAngle_; }
    platform::Point StartCursor() const { return startCursor_; }
    platform::Window& Window() { return *window_; }
    platform::PicturePanel& Master() { return *master_; }
    platform::Timer& Timer1() { return *timer1_; }

  private:
    bool ModeS();
    // A Display panel for one more monitor, its clicks wired to the exit.
    void AddDisplay();
    // Covers `screen` with the window and gives each monitor of `listed_` a Display.
    void CoverMonitors(const platform::Rect& screen);
    // Copies one monitor's part of the screen into its Display and its pixel stack.
    void CaptureMonitor(platform::Handle screenDc, const platform::Rect& screen,
                        Veltrane_B1::MonitorImage& monitor);
    // Gives a monitor an image of width x height, centred on it, with its Display placed there.
    void SetImageSize(Veltrane_B1::MonitorImage& monitor, std::int32_t width, std::int32_t height,
                      const platform::Rect& screen);
    // A new pixel stack with a header for a bitmap of the given size; says "Error" when it
    // cannot be made.
    bool MakeImages(Veltrane_B1::MonitorImage& monitor, std::int32_t bitmapWidth,
                    std::int32_t bitmapHeight);
    void ReadError();
    // Reads the system's monitors: whether they differ from those the window is laid out for.
    bool LayoutChanged();
    // Lays the window out for the monitors just read, from the captured desktop.
    void LayOutAgain();
    void ReleasePixels();
    double NextRandom();
    void ShowCursorAgain();
    void ShowImage(std::size_t monitor, int imageNumber);
    void BlitError();

    platform::Host& host_;
    std::unique_ptr<platform::Window> window_;
    std::unique_ptr<platform::PicturePanel> master_;
    std::unique_ptr<platform::Timer> timer1_;

    // One per monitor, never empty: the first exists from construction on.
    std::vector<Veltrane_B1::MonitorImage> monitors_;
    // The layout the window shows: the virtual screen and the monitors as the system listed them;
    // `polled_` holds each later reading, so that comparing them allocates nothing.
    platform::Rect layoutScreen_, polledScreen_;
    std::vector<platform::Rect> listed_, polled_;
    // The set-up's captures, kept from the first layout change on (until then each monitor's
    // image 1 is its capture).
    Veltrane_B1::CapturedDesktop captured_;
    bool capturesKept_ = false;
    bool loaded_ = false;
    bool layoutPending_ = false;
    float rotationAngle_ = 0;
    std::uint64_t randomState_ = 0;

    platform::Point startCursor_;
    bool haveStartCursor_ = false;
    // Start-up hid the cursor in mode "S"; every way out shows it again exactly once.
    bool cursorHidden_ = false;
    bool inTick_ = false;
    bool checkingPassword_ = false;
    bool readErrorShown_ = false;  // "Error" is said once per session, not once per monitor
    bool stopped_ = false;         // unloaded, or a frame could not be drawn: no more frames
};

}  // namespace Veltrane_B
