// Hover, press and focus tracking of the owner-drawn `Command` button, without any window.
//
// One `CommandStateMachine` per button. The control (command.h) turns the mouse and focus
// notifications of its face panel and caption label (the caption counts as part of the face)
// and the ticks of its hover poll into calls of the matching method; it then paints
// `TrackingResult::paint` when it is set and raises `Click` when `raiseClick` is true, in that
// order. For the poll it passes the window under the cursor and the two handles it could read.
// `Initialize` does not start the poll; the control does, every `kHoverPollMilliseconds`.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/platform.h"

namespace Veltrane::Controls {

// The six skin pictures the face is cut from.
enum class SkinPicture : std::uint8_t {
    Normal,
    HighLight,
    HighLightSelect,
    Disable,
    Selected,
    Pressed
};

// Values of ButtonState. 0 means Initialize has not run yet.
inline constexpr std::uint8_t StateNone = 0;
inline constexpr std::uint8_t StateNormal = 1;           // no cursor, no focus
inline constexpr std::uint8_t StateHighLight = 2;        // cursor over it, no focus
inline constexpr std::uint8_t StateSelected = 3;         // focus, cursor elsewhere
inline constexpr std::uint8_t StateHighLightSelect = 4;  // focus and cursor over it

inline constexpr int kHoverPollMilliseconds = 100;

// What one notification asks of the control: at most one face to paint, then maybe Click.
struct TrackingResult {
    std::optional<SkinPicture> paint;
    bool raiseClick = false;
    friend bool operator==(const TrackingResult&, const TrackingResult&) = default;
};

class CommandStateMachine {
  public:
    std::uint8_t ButtonState() const { return buttonState_; }
    bool MouseIsDown() const { return mouseIsDown_; }
    bool EnabledFlag() const { return enabledFlag_; }
    // The Enabled property's value. While it is false every handler below does nothing.
    void SetEnabledFlag(bool enabled) { enabledFlag_ = enabled; }

    // Arms the button: state StateNormal, nothing painted. Runs even while disabled.
    void Initialize() { buttonState_ = StateNormal; }

    TrackingResult MouseMove();
    // `button` is the platform's code (platform::kLeftButton ...).
    TrackingResult MouseDown(int button);
    TrackingResult MouseUp(int button);
    TrackingResult GotFocus();
    TrackingResult LostFocus();
    // The cursor has left: highlight off (2 -> 1), or back to plain focus (4 -> 3).
    TrackingResult EndHover();
    // The hover poll. Hover ends unless the window under the cursor is the button's own
    // window; a handle the control could not read (nullopt) also ends it. Before Initialize
    // (state 0) nothing changes.
    TrackingResult TimerTick(platform::Handle windowUnderCursor,
                             std::optional<platform::Handle> ownWindow,
                             std::optional<platform::Handle> parentWindow);

    // The poll's decision alone: true when the hover is over.
    static bool CursorHasLeft(platform::Handle windowUnderCursor,
                              std::optional<platform::Handle> ownWindow,
                              std::optional<platform::Handle> parentWindow);

  private:
    std::uint8_t buttonState_ = StateNone;
    bool mouseIsDown_ = false;
    bool enabledFlag_ = false;
};

}  // namespace Veltrane::Controls
