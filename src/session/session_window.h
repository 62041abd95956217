// The full-screen session window: copies the desktop, covers the virtual screen with it and turns
// the copy by a new random angle at every tick until a key, a button or a mouse movement ends it.
// Each monitor has its own capture and Display panel and turns about its own centre.
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
    // Copies one monitor's part of the screen into its Display and its pixel stack.
    void CaptureMonitor(platform::Handle screenDc, const platform::Rect& screen,
                        Veltrane_B1::MonitorImage& monitor);
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
