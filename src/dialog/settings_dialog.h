// The settings dialog `Veltrane_P`: the interval bar, the turning preview, Set and Cancel, and
// the link to the home page.
//
// The window is built hidden by the constructor; `Show` runs the load sequence and shows it
// modally, returning when it has closed. The dialog measures in pixels, laid out at the scale
// of its window (kDialogLayout at 96 dots per inch, every figure times dpi / 96 at any other),
// and lays itself out again when it moves to a monitor of another scale. Controls are public so
// that tests (and the window walk of the load sequence) can reach them as a form's controls.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "controls/command.h"
#include "dialog/dialog_rules.h"
#include "platform/platform.h"

namespace Veltrane_B {

// What the dialog shows and opens; the address is also the link's caption.
inline constexpr const char* kHomePage = "https://veltrane.example/";
inline constexpr const char* kCreditLine = "(C) Veltrane Team";
inline constexpr const char* kVersionText = "Ver.1.0.0";

class Veltrane_P {
  public:
    explicit Veltrane_P(platform::Host& host);
    ~Veltrane_P();
    Veltrane_P(const Veltrane_P&) = delete;
    Veltrane_P& operator=(const Veltrane_P&) = delete;

    // Load sequence, then the modal show; returns when the window has closed.
    void Show();

    // Event handlers.
    void Form_Load();
    void Form_Unload();
    // A key pressed anywhere in the dialog; true when the dialog took it.
    bool Form_KeyDown(int keyCode, int shift);
    // The window has moved to a monitor of another scale; `suggested` is the system's rectangle.
    void Form_DpiChanged(const platform::Rect& suggested);
    void TileTexture(platform::PicturePanel& panel);
    void Timer1_Timer();
    void HS_Intval_Change();
    void HS_Intval_Scroll();
    void Cmd_Set_Click();
    void Cmd_Can_Click();
    void lbl_URL_Click();

    platform::Handle hWnd() const { return window->hWnd(); }

    // The window and its controls.
    std::unique_ptr<platform::Window> window;
    std::unique_ptr<platform::PicturePanel> Pic_C;           // fills the client area
    std::unique_ptr<platform::PicturePanel> picDestination;  // the preview square
    std::unique_ptr<platform::PicturePanel> Pic_D;           // sunken box of the interval bar
    std::array<std::unique_ptr<platform::Label>, 5> lbl;
    std::unique_ptr<platform::ScrollBar> HS_Intval;
    std::unique_ptr<Veltrane::Controls::Command> Cmd_Set;
    std::unique_ptr<Veltrane::Controls::Command> Cmd_Can;
    std::unique_ptr<platform::Label> lbl_URL;
    std::unique_ptr<platform::Timer> Timer1;
    std::unique_ptr<platform::PicturePanel> picSource;  // the sample photo, outside the view
    std::unique_ptr<platform::PicturePanel> Pic_Mbl;    // the texture strip, hidden

    // The scale the controls are laid out at.
    const platform::DisplayScale& Scale() const { return scale_; }

  private:
    // Places every control and loads the pictures at the window's scale.
    void LayOut();
    void PlaceLabel(platform::Label& label, DialogPart part);
    // Gives the window the client area of Pic_C at the scale; its outer size.
    platform::Size SizeWindow();

    platform::Host& host_;
    platform::DisplayScale scale_;
};

}  // namespace Veltrane_B
