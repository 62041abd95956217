// The full-screen session window: copies the desktop, covers the virtual screen with it and turns
// the copy by a new random angle at every tick until a key, a button or a mouse movement ends it.
#pragma once

#include <cstdint>
#include <memory>

#include "effects/pixel_stack.h"
#include "effects/rotate_step.h"
#include "platform/platform.h"

namespace Veltrane_B {

class Veltrane_S {
  public:
    // The default period when the configured one is one the timer cannot take.
    static constexpr std::int32_t kDefaultInterval = 100;

    // Creates the window, hidden, with Master, Display and Timer1 (disabled, 1 ms). Switches the
    // process to physical pixels first, so the capture is the whole screen at full resolution.
    explicit Veltrane_S(platform::Host& host);
    ~Veltrane_S();

    // Set-up: capture, first frame, then shown topmost with the timer running.
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

    // Fills all three images of the pixel stack from Display's picture.
    void CaptureToPixels();
    // Allocates the pixel stack anew and reads `bitmap` into image 1.
    void ReadBitmapBits(platform::Handle bitmap);

    // What set-up computed, for tests and tools.
    std::int32_t ImageWidth() const { return imageWidth_; }
    std::int32_t ImageHeight() const { return imageHeight_; }
    Veltrane_B1::Centre Centre() const { return centre_; }
    float RotationAngle() const { return rotationAngle_; }
    platform::Point StartCursor() const { return startCursor_; }
    const Veltrane_B1::PixelStack& PixelStack() const { return pixels_; }
    platform::Window& Window() { return *window_; }
    platform::PicturePanel& Master() { return *master_; }
    platform::PicturePanel& Display() { return *display_; }
    platform::Timer& Timer1() { return *timer1_; }

  private:
    bool ModeS();
    double NextRandom();
    void ShowCursorAgain();
    void ShowImage(int imageNumber);
    void BlitError();

    platform::Host& host_;
    std::unique_ptr<platform::Window> window_;
    std::unique_ptr<platform::PicturePanel> master_;
    std::unique_ptr<platform::PicturePanel> display_;
    std::unique_ptr<platform::Timer> timer1_;

    Veltrane_B1::PixelStack pixels_;
    std::int32_t imageWidth_ = 0;
    std::int32_t imageHeight_ = 0;
    Veltrane_B1::Centre centre_;
    float rotationAngle_ = 0;
    std::uint64_t randomState_ = 0;

    platform::Point startCursor_;
    bool haveStartCursor_ = false;
    // Start-up hid the cursor in mode "S"; every way out shows it again exactly once.
    bool cursorHidden_ = false;
    bool inTick_ = false;
    bool checkingPassword_ = false;
    bool stopped_ = false;  // unloaded, or a frame could not be drawn: no more frames
};

}  // namespace Veltrane_B
