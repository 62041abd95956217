// The toolkit's rules that do not depend on a platform: what a timer accepts and when it ticks,
// how a scroll bar's value moves and which notification each move raises, that a window unloads
// once, and how a panel's button presses and releases become clicks of the panel or a label.
// Both hosts (win32/ and fake/) keep their toolkit pieces' state in these, so the two cannot
// disagree about a rule.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/platform.h"

namespace platform {

// Timers take 0 to 65535 milliseconds; 0 is a valid interval that delivers no ticks. Setting the
// interval a timer already has changes nothing: its countdown goes on.
inline constexpr std::int64_t kMaxTimerInterval = 65535;
inline bool TimerAccepts(std::int64_t milliseconds) {
    return milliseconds >= 0 && milliseconds <= kMaxTimerInterval;
}
inline bool TimerTicks(bool enabled, std::int32_t interval) {
    return enabled && interval > 0;
}

// What the user did to a scroll bar; the numbers are the platform's (SB_LINELEFT ...).
enum class ScrollCode {
    LineLeft = 0,
    LineRight = 1,
    PageLeft = 2,
    PageRight = 3,
    ThumbPosition = 4,  // the thumb was released
    ThumbTrack = 5,     // the thumb is being dragged
    Left = 6,
    Right = 7,
    EndScroll = 8,
};

// A scroll bar's range, steps and value.
class ScrollModel {
  public:
    enum class Notify { None, Change, Scroll };

    // The value is kept inside the new range; a maximum below the minimum is taken as the minimum.
    void SetRange(std::int32_t minimum, std::int32_t maximum);
    void SetSteps(std::int32_t small, std::int32_t large);
    // Refuses (false) a value outside the range; a changed value notifies Change.
    bool SetValue(std::int64_t value, Notify* notify);
    // Moves the value as the user asked; `thumb` is the thumb's position for the thumb codes.
    // Moves stop at the ends. Dragging notifies Scroll; releasing the thumb notifies Change when
    // the value differs from where the drag began (the drag itself already moved it); the other
    // moves notify Change when the value changed.
    Notify Scrolled(ScrollCode code, std::int32_t thumb);

    std::int32_t Minimum() const { return minimum_; }
    std::int32_t Maximum() const { return maximum_; }
    std::int32_t SmallStep() const { return small_; }
    std::int32_t LargeStep() const { return large_; }
    std::int32_t Value() const { return value_; }

  private:
    Notify MoveTo(std::int64_t value);

    std::int32_t minimum_ = 0, maximum_ = 32767, small_ = 1, large_ = 1, value_ = 0;
    std::optional<std::int32_t> dragStart_;  // the value when the thumb was taken
};

// Calls onChange or onScroll of a bar for a notification.
void Deliver(ScrollModel::Notify notify, const ScrollBar& bar);

// A window's unload: onUnload runs once before the window goes, whether Close is called again,
// from inside onUnload, or the window already went another way.
class UnloadOnce {
  public:
    // Runs onUnload and answers true when the window should now go; false when it is going.
    bool Begin(const std::function<void()>& onUnload);
    void Gone() { started_ = true; }  // the window went without Close
    bool Started() const { return started_; }

  private:
    bool started_ = false;
};

// The visible label under a point; of overlapping labels, the one created last.
template <typename SomeLabel>
SomeLabel* LabelAt(const std::vector<SomeLabel*>& labels, Point point) {
    for (auto it = labels.rbegin(); it != labels.rend(); ++it) {
        const Rect r = (*it)->Bounds();
        if ((*it)->Visible() && point.x >= r.left && point.x < r.right && point.y >= r.top &&
            point.y < r.bottom)
            return *it;
    }
    return nullptr;
}

// A panel's mouse: presses, releases and moves go to the panel's handlers or to those of the
// label under the pointer. While the left button is held, everything goes to where it went down;
// releasing it over that same place, inside the panel, is a click.
class PanelMouse {
  public:
    // `under` is the label under the pointer, or nullptr for the panel itself.
    void Down(PicturePanel& panel, Label* under, int button, int shift, Point at);
    void Up(PicturePanel& panel, Label* under, bool inside, int button, int shift, Point at);
    void Move(PicturePanel& panel, Label* under, int held, int shift, Point at);
    // Where a label goes away, it receives nothing more.
    void Forget(const Label* label);

  private:
    bool pressed_ = false;
    Label* pressedLabel_ = nullptr;
};

}  // namespace platform
