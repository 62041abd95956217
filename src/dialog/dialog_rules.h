// The settings dialog's rules that need no window: its layout at every scale, its font, the
// conversions of the interval, the preview angle and the window's place on the screen.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "platform/platform.h"
#include "platform/scaling.h"

namespace Veltrane_B {

// The dialog's controls, in the order of the layout table.
enum class DialogPart : std::uint8_t {
    PicC,            // fills the client area
    picDestination,  // the preview square
    PicD,            // the sunken box of the interval bar, and inside it:
    IntervalLabel,   //   lbl 1
    HS_Intval,       //   the bar
    FastLabel,       //   lbl 4, under the bar's left end
    SlowLabel,       //   lbl 0, under its right end
    CreditLabel,     // lbl 2
    VersionLabel,    // lbl 3
    Cmd_Set,
    Cmd_Can,
    lbl_URL,
    picSource,  // the sample photo, beyond the client area
    Pic_Mbl,    // the texture strip, hidden
};

struct Placement {
    std::int32_t left, top, width, height;
};

// Where each control sits at 96 dots per inch, in pixels relative to its parent, and the size of
// the pictures of picSource and Pic_Mbl: the one place that holds the layout's figures.
inline constexpr std::array<Placement, 14> kDialogLayout = {{
    {0, 0, 405, 261},
    {16, 16, 200, 200},
    {236, 16, 149, 69},
    {8, 8, 74, 13},
    {8, 28, 129, 17},
    {8, 48, 25, 13},
    {112, 48, 25, 13},
    {236, 96, 111, 13},
    {336, 112, 50, 13},
    {236, 188, 77, 25},
    {312, 188, 77, 25},
    {16, 228, 352, 13},
    {544, 104, 200, 200},
    {540, 8, 579, 21},
}};

// A control's place at a scale: each of its four figures times dpi / 96, rounded as
// DisplayScale::Pixels rounds (so 405 x 261 is 608 x 392 at 144 dots per inch).
platform::Rect DialogPlace(DialogPart part, const platform::DisplayScale& scale);
platform::Size DialogSize(DialogPart part, const platform::DisplayScale& scale);

// The font of every label and both buttons: the button's design font, MS P Gothic 9.75 pt
// Shift-JIS (underlined for the link).
platform::Font DialogFont(bool underline = false);

// Whole numbers of a float as the dialog's conversions make them (nearest, ties to even);
// nullopt when the value does not fit (or is not a number), in which case the step that wanted
// it is skipped.
std::optional<std::int16_t> ToInteger16(float value);
std::optional<std::int32_t> ToLong32(float value);

// A uniform number 0 <= r < 1 from a generator reseeded with `seed` (the seconds since
// midnight), and the preview angle 0..359 drawn from it.
double ReseededRandom(double seed);
std::int32_t PreviewAngle(double secondsSinceMidnight);

// Top-left corner in pixels that centres a window of the given outer size horizontally and puts
// it at one third of the free height, computed in whole twips with truncating division.
platform::Point DialogPosition(std::int32_t screenWidth, std::int32_t screenHeight,
                               std::int32_t windowWidth, std::int32_t windowHeight,
                               double twipsPerPixelX, double twipsPerPixelY);

}  // namespace Veltrane_B
