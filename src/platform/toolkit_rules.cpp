#include "platform/toolkit_rules.h"

#include <algorithm>

namespace platform {

void ScrollModel::SetRange(std::int32_t minimum, std::int32_t maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    value_ = std::clamp(value_, minimum_, maximum_);
}

void ScrollModel::SetSteps(std::int32_t small, std::int32_t large) {
    small_ = small;
    large_ = large;
}

bool ScrollModel::SetValue(std::int64_t value, Notify* notify) {
    if (value < minimum_ || value > maximum_) return false;
    *notify = MoveTo(value);
    return true;
}

ScrollModel::Notify ScrollModel::MoveTo(std::int64_t value) {
    // 64 bits, so that a step past either end of a wide range cannot overflow.
    const auto kept =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(value, minimum_, maximum_));
    const bool changed = kept != value_;
    value_ = kept;
    return changed ? Notify::Change : Notify::None;
}

ScrollModel::Notify ScrollModel::Scrolled(ScrollCode code, std::int32_t thumb) {
    const std::int64_t value = value_;
    switch (code) {
        case ScrollCode::LineLeft:
            return MoveTo(value - small_);
        case ScrollCode::LineRight:
            return MoveTo(value + small_);
        case ScrollCode::PageLeft:
            return MoveTo(value - large_);
        case ScrollCode::PageRight:
            return MoveTo(value + large_);
        case ScrollCode::Left:
            return MoveTo(minimum_);
        case ScrollCode::Right:
            return MoveTo(maximum_);
        case ScrollCode::ThumbTrack:
            if (!dragStart_) dragStart_ = value_;
            MoveTo(thumb);
            return Notify::Scroll;
        case ScrollCode::ThumbPosition: {
            // The drag already moved the value; releasing the thumb reports the whole move.
            const std::int32_t start = dragStart_.value_or(value_);
            dragStart_.reset();
            MoveTo(thumb);
            return value_ != start ? Notify::Change : Notify::None;
        }
        case ScrollCode::EndScroll:
            dragStart_.reset();
            break;
    }
    return Notify::None;
}

void Deliver(ScrollModel::Notify notify, const ScrollBar& bar) {
    const std::function<void()>& handler = notify == ScrollModel::Notify::Change   ? bar.onChange
                                           : notify == ScrollModel::Notify::Scroll ? bar.onScroll
                                                                                   : nullptr;
    if (handler) handler();
}

bool UnloadOnce::Begin(const std::function<void()>& onUnload) {
    if (started_) return false;
    started_ = true;
    if (onUnload) onUnload();
    return true;
}

namespace {
void Call(const MouseHandler& handler, int button, int shift, Point at) {
    if (handler) handler(button, shift, at.x, at.y);
}
}  // namespace

void PanelMouse::Down(PicturePanel& panel, Label* under, int button, int shift, Point at) {
    if (button == kLeftButton) {
        pressed_ = true;
        pressedLabel_ = under;
    }
    Call(under ? under->onMouseDown : panel.onMouseDown, button, shift, at);
}

void PanelMouse::Up(PicturePanel& panel, Label* under, bool inside, int button, int shift,
                    Point at) {
    Label* target = button == kLeftButton && pressed_ ? pressedLabel_ : under;
    const bool click = button == kLeftButton && pressed_ && inside && target == under;
    if (button == kLeftButton) pressed_ = false;
    Call(target ? target->onMouseUp : panel.onMouseUp, button, shift, at);
    if (click) {
        const std::function<void()>& handler = target ? target->onClick : panel.onClick;
        if (handler) handler();
    }
}

void PanelMouse::Move(PicturePanel& panel, Label* under, int held, int shift, Point at) {
    Label* target = pressed_ ? pressedLabel_ : under;
    Call(target ? target->onMouseMove : panel.onMouseMove, held, shift, at);
}

void PanelMouse::Forget(const Label* label) {
    if (pressedLabel_ == label) pressedLabel_ = nullptr;
}

}  // namespace platform
